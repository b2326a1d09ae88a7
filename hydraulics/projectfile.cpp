#include "hydraulics/projectfile.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace hydraulics {
namespace {

using nlohmann::json;

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The deepest nesting of arrays and objects, strings skipped; stops counting past `limit`.
int nestingDepth(std::string_view text, int limit) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit) return deepest;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// A field's failure: the path of the field, for the reason.
struct Wrong {
    std::string path;
};

const json* member(const json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::string text(const json& object, const char* key, const std::string& path) {
    const json* value = member(object, key);
    if (value == nullptr) return {};
    if (!value->is_string()) throw Wrong{path + "." + key};
    return value->get<std::string>();
}

void number(const json& object, const char* key, const std::string& path, double& out) {
    const json* value = member(object, key);
    if (value == nullptr) return;
    if (!value->is_number()) throw Wrong{path + "." + key};
    out = value->get<double>();
    if (!std::isfinite(out)) throw Wrong{path + "." + key};
}

void flag(const json& object, const char* key, const std::string& path, bool& out) {
    const json* value = member(object, key);
    if (value == nullptr) return;
    if (!value->is_boolean()) throw Wrong{path + "." + key};
    out = value->get<bool>();
}

SystemSettings readSettings(const json& s) {
    const std::string path = "settings";
    if (!s.is_object()) throw Wrong{path};
    SystemSettings settings;
    number(s, "t", path, settings.t);
    number(s, "dt", path, settings.dt);
    if (member(s, "series")) settings.series = text(s, "series", path);
    if (const json* k = member(s, "roughness"); k != nullptr && !k->is_null()) {
        double roughness = 0;
        number(s, "roughness", path, roughness);
        settings.roughness = roughness;
    }
    if (const json* f = member(s, "friction")) {
        const std::string model = f->is_string() ? f->get<std::string>() : std::string();
        if (model == "colebrook")
            settings.friction = FrictionModel::Colebrook;
        else if (model == "screen")
            settings.friction = FrictionModel::Screen;
        else
            throw Wrong{path + ".friction"};
    }
    number(s, "rMax", path, settings.rMax);
    flag(s, "open", path, settings.open);
    number(s, "staticLift", path, settings.staticLift);
    flag(s, "returnDoubled", path, settings.returnDoubled);
    number(s, "plantKPa", path, settings.plantKPa);
    number(s, "safety", path, settings.safety);
    number(s, "balancePercent", path, settings.balancePercent);
    return settings;
}

SectionInput readSection(const json& s, const std::string& path) {
    if (!s.is_object()) throw Wrong{path};
    SectionInput section;
    section.id = text(s, "id", path);
    section.up = text(s, "up", path);
    section.L = text(s, "L", path);
    section.G = text(s, "G", path);
    section.Q = text(s, "Q", path);
    section.DN = text(s, "DN", path);
    section.d = text(s, "d", path);
    section.zeta = text(s, "zeta", path);
    section.equip = text(s, "equip", path);
    section.equipmentName = text(s, "equipmentName", path);
    if (const json* fittings = member(s, "fittings")) {
        if (!fittings->is_array()) throw Wrong{path + ".fittings"};
        for (std::size_t i = 0; i < fittings->size(); ++i) {
            const json& f = (*fittings)[i];
            const std::string at = path + ".fittings[" + std::to_string(i) + "]";
            if (!f.is_object()) throw Wrong{at};
            FittingCount fitting;
            fitting.name = text(f, "name", at);
            fitting.zetaEach = text(f, "zetaEach", at);
            if (const json* count = member(f, "count")) {
                if (!count->is_number_integer() || count->get<long long>() < 0 ||
                    count->get<long long>() > 1000000)
                    throw Wrong{at + ".count"};
                fitting.count = static_cast<int>(count->get<long long>());
            }
            section.fittings.push_back(std::move(fitting));
        }
    }
    return section;
}

ProjectReadOutcome failed(ProjectFailure failure, std::string detail = {}) {
    ProjectReadOutcome outcome;
    outcome.failure = failure;
    outcome.detail = std::move(detail);
    return outcome;
}

}  // namespace

std::string ProjectReadOutcome::reason() const {
    switch (failure) {
        case ProjectFailure::TooLarge:
            return "文件大于 64 MiB，不是本程序的工程文件";
        case ProjectFailure::NotJson:
            return "文件已损坏，或不是 UTF-8 编码的 JSON 文件";
        case ProjectFailure::TooDeep:
            return "文件的嵌套层数过多，不是本程序的工程文件";
        case ProjectFailure::NotAProject:
            return "不是水系统工程文件";
        case ProjectFailure::NewerVersion:
            return "由较新版本的程序保存（格式版本 " + detail + "），本版本不能打开";
        case ProjectFailure::BadVersion:
            return "工程文件的格式版本无效";
        case ProjectFailure::WrongType:
            return "工程文件中的“" + detail + "”类型不对或取值无效";
    }
    return {};
}

ProjectReadOutcome readProject(std::string_view bytes) {
    if (bytes.size() > ProjectMaxBytes) return failed(ProjectFailure::TooLarge);
    if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        bytes.remove_prefix(ByteOrderMark.size());
    // Counted before parsing, so that no deep document is ever built (or torn down).
    if (nestingDepth(bytes, ProjectMaxDepth) > ProjectMaxDepth)
        return failed(ProjectFailure::TooDeep);
    const json document = json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (document.is_discarded()) return failed(ProjectFailure::NotJson);
    if (!document.is_object()) return failed(ProjectFailure::NotAProject);
    const json* format = member(document, "format");
    if (format == nullptr || !format->is_string() ||
        format->get<std::string>() != ProjectFormatName)
        return failed(ProjectFailure::NotAProject);
    const json* version = member(document, "version");
    if (version == nullptr || !version->is_number_integer() || version->get<long long>() < 1)
        return failed(ProjectFailure::BadVersion);
    if (version->get<long long>() > ProjectFormatVersion)
        return failed(ProjectFailure::NewerVersion, std::to_string(version->get<long long>()));
    try {
        Project project;
        project.title = text(document, "title", "");
        if (const json* settings = member(document, "settings"))
            project.settings = readSettings(*settings);
        if (const json* sections = member(document, "sections")) {
            if (!sections->is_array()) throw Wrong{"sections"};
            project.sections.reserve(sections->size());
            for (std::size_t i = 0; i < sections->size(); ++i)
                project.sections.push_back(
                    readSection((*sections)[i], "sections[" + std::to_string(i) + "]"));
        }
        ProjectReadOutcome outcome;
        outcome.project = std::move(project);
        return outcome;
    } catch (const Wrong& wrong) {
        // Keys at the top level carry no leading dot.
        std::string path = wrong.path;
        if (!path.empty() && path.front() == '.') path.erase(0, 1);
        return failed(ProjectFailure::WrongType, path);
    }
}

std::string writeProject(const Project& project) {
    // Keys in the order docs/qvs-format.md lists them.
    using json = nlohmann::ordered_json;
    json settings = json::object();
    const SystemSettings& s = project.settings;
    settings["t"] = s.t;
    settings["dt"] = s.dt;
    settings["series"] = s.series;
    settings["roughness"] = s.roughness ? json(*s.roughness) : json(nullptr);
    settings["friction"] = s.friction == FrictionModel::Screen ? "screen" : "colebrook";
    settings["rMax"] = s.rMax;
    settings["open"] = s.open;
    settings["staticLift"] = s.staticLift;
    settings["returnDoubled"] = s.returnDoubled;
    settings["plantKPa"] = s.plantKPa;
    settings["safety"] = s.safety;
    settings["balancePercent"] = s.balancePercent;

    json sections = json::array();
    for (const SectionInput& in : project.sections) {
        json fittings = json::array();
        for (const FittingCount& f : in.fittings)
            fittings.push_back({{"name", f.name}, {"count", f.count}, {"zetaEach", f.zetaEach}});
        json section = json::object();
        section["id"] = in.id;
        section["up"] = in.up;
        section["L"] = in.L;
        section["G"] = in.G;
        section["Q"] = in.Q;
        section["DN"] = in.DN;
        section["d"] = in.d;
        section["zeta"] = in.zeta;
        section["equip"] = in.equip;
        section["equipmentName"] = in.equipmentName;
        section["fittings"] = std::move(fittings);
        sections.push_back(std::move(section));
    }
    json document = json::object();
    document["format"] = ProjectFormatName;
    document["version"] = ProjectFormatVersion;
    document["title"] = project.title;
    document["settings"] = std::move(settings);
    document["sections"] = std::move(sections);
    // Texts that are not UTF-8 (a stray byte pasted into a cell) are written with U+FFFD in
    // their place rather than making the whole save fail.
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace hydraulics
