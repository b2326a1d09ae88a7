#include "hydraulics/pipecatalog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "hydraulics/shippedtables.h"

namespace hydraulics {
namespace {

using Record = std::vector<std::string>;

// RFC 4180 records: quoted fields may hold commas, doubled quotes and line breaks. The shipped
// tables are ours, so a malformed one is a build mistake that the tests catch, not user input.
std::vector<Record> readCsv(std::string_view text) {
    std::vector<Record> records;
    Record record;
    std::string field;
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (any || !field.empty()) {
                record.push_back(std::move(field));
                records.push_back(std::move(record));
            }
            field.clear();
            record.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

// A table's rows as column-name → text, header taken from the first record.
class Table {
  public:
    explicit Table(std::string_view text) {
        std::vector<Record> records = readCsv(text);
        if (records.empty()) throw std::logic_error("empty shipped table");
        header_ = std::move(records.front());
        // A UTF-8 byte-order mark would become part of the first column's name.
        if (header_[0].rfind("\xEF\xBB\xBF", 0) == 0) header_[0].erase(0, 3);
        rows_.assign(std::make_move_iterator(records.begin() + 1),
                     std::make_move_iterator(records.end()));
    }

    std::size_t size() const { return rows_.size(); }

    const std::string& at(std::size_t row, std::string_view column) const {
        const auto it = std::find(header_.begin(), header_.end(), column);
        if (it == header_.end()) throw std::logic_error("shipped table lacks a column");
        const Record& record = rows_[row];
        const std::size_t index = it - header_.begin();
        return index < record.size() ? record[index] : empty_;
    }

  private:
    Record header_;
    std::vector<Record> rows_;
    std::string empty_;  // a field a short row lacks
};

std::optional<double> number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string_view tableText(std::string_view name) {
    for (const ShippedTable& table : shippedTables())
        if (table.name == name) return table.text;
    throw std::logic_error("missing shipped table");
}

constexpr std::string_view SeriesFile = "管道系列.csv";
constexpr std::string_view GuidanceFile = "推荐比摩阻.csv";
constexpr std::string_view VelocityParameter = "管内流速推荐值";
constexpr std::string_view ClosedSystem = "空调水系统(闭式)";
constexpr std::string_view OpenSystem = "空调水系统(开式)";
constexpr std::string_view VerifiedMark = "已见";

// What data/SOURCES.md says of the size tables, in one line each for the report.
std::string sizeSource(std::string_view file, std::string_view material) {
    if (file == "钢管规格.csv") {
        if (material.find("焊接") != std::string_view::npos)
            return "GB/T 3091-2015 表1；DN50外径壁厚及DN15–50外径已见公开页面，其余壁厚待对照原文";
        return "GB/T 8163（尺寸按 GB/T 17395）常用外径×壁厚组合；外径已见公开页面，壁厚未逐条核对";
    }
    if (material.find("铜") != std::string_view::npos)
        return "GB/T 18033-2017；外径与理论重量已见公开页面，壁厚由理论重量反算(ρ=8.94 g/cm³)";
    return "GB/T 18742.2-2017；壁厚按 ISO 4065 e=dn/(2S+1) 计算，未逐行对照原表";
}

void addRows(PipeSeries& series, const Table& sizes, std::string_view file,
             const std::string& material, const std::string& grade, std::optional<double> low,
             std::optional<double> high) {
    const bool hasGrade = file != "钢管规格.csv";
    for (std::size_t r = 0; r < sizes.size(); ++r) {
        if (sizes.at(r, "管材") != material) continue;
        if (hasGrade && sizes.at(r, "系列或型号") != grade) continue;
        const std::optional<double> dn = number(sizes.at(r, "公称直径DN"));
        const std::optional<double> outer = number(sizes.at(r, "外径_mm"));
        const std::optional<double> wall = number(sizes.at(r, "壁厚_mm"));
        const std::optional<double> inner = number(sizes.at(r, "内径_mm"));
        if (!outer || !wall || !inner) throw std::logic_error("shipped size row incomplete");
        const bool plastic = material.find("PP-R") != std::string::npos;
        // Copper outer diameters that the published table gives no DN are left out: a series
        // is chosen from by DN.
        if (!plastic && !dn) continue;
        const double size = plastic ? *outer : *dn;
        if (low && size < *low) continue;
        if (high && size > *high) continue;
        PipeRow row;
        row.size = static_cast<int>(std::lround(size));
        row.outer = *outer;
        row.wall = *wall;
        row.inner = *inner;
        row.standard = sizes.at(r, "标准");
        row.verified = sizes.at(r, "核对状态").find(VerifiedMark) != std::string::npos;
        series.rows.push_back(std::move(row));
    }
}

}  // namespace

const PipeSeries* PipeCatalog::find(const std::string& name) const {
    for (const PipeSeries& s : series)
        if (s.name == name) return &s;
    return nullptr;
}

const VelocityRange& PipeCatalog::velocityRange(bool open, int dn, double innerMm) const {
    const std::vector<VelocityRange>& table = open ? openVelocity : closedVelocity;
    for (const VelocityRange& range : table)
        if (range.dn == dn) return range;
    return velocityRange(open, innerMm);
}

const VelocityRange& PipeCatalog::velocityRange(bool open, double innerMm) const {
    const std::vector<VelocityRange>& table = open ? openVelocity : closedVelocity;
    const VelocityRange* best = &table.front();
    for (const VelocityRange& range : table)
        if (std::abs(range.dn - innerMm) < std::abs(best->dn - innerMm)) best = &range;
    return *best;
}

const VelocityRange& PipeCatalog::velocityRange(bool open, const PipeSeries& s,
                                                const PipeRow& row) const {
    return s.sizeIsOuterDiameter ? velocityRange(open, row.inner)
                                 : velocityRange(open, row.size, row.inner);
}

PipeCatalog shippedCatalog() {
    PipeCatalog catalog;
    const Table seriesTable(tableText(SeriesFile));
    for (std::size_t r = 0; r < seriesTable.size(); ++r) {
        const std::string& name = seriesTable.at(r, "名称");
        auto it = std::find_if(catalog.series.begin(), catalog.series.end(),
                               [&](const PipeSeries& s) { return s.name == name; });
        if (it == catalog.series.end()) {
            PipeSeries s;
            s.name = name;
            s.title = seriesTable.at(r, "中文名称");
            s.roughnessClosed = number(seriesTable.at(r, "K闭式_mm")).value();
            s.roughnessOpen = number(seriesTable.at(r, "K开式_mm")).value();
            s.roughnessSource = seriesTable.at(r, "K来源");
            catalog.series.push_back(std::move(s));
            it = catalog.series.end() - 1;
        }
        const std::string& file = seriesTable.at(r, "规格表");
        const std::string& material = seriesTable.at(r, "管材");
        const Table sizes(tableText(file));
        const std::size_t before = it->rows.size();
        addRows(*it, sizes, file, material, seriesTable.at(r, "系列或型号"),
                number(seriesTable.at(r, "DN下限")), number(seriesTable.at(r, "DN上限")));
        if (it->rows.size() == before) throw std::logic_error("shipped series part is empty");
        const std::string standard = it->rows[before].standard;
        if (it->standard.find(standard) == std::string::npos)
            it->standard += (it->standard.empty() ? "" : "；") + standard;
        const std::string source = sizeSource(file, material);
        if (it->source.find(source) == std::string::npos)
            it->source += (it->source.empty() ? "" : "；") + source;
        if (material.find("PP-R") != std::string::npos) it->sizeIsOuterDiameter = true;
        if (it->material.empty())
            it->material = material.find("钢") != std::string::npos   ? "钢管"
                           : material.find("铜") != std::string::npos ? "铜管"
                                                                      : "PP-R管";
    }
    for (PipeSeries& s : catalog.series)
        std::stable_sort(s.rows.begin(), s.rows.end(),
                         [](const PipeRow& a, const PipeRow& b) { return a.inner < b.inner; });

    const Table guidance(tableText(GuidanceFile));
    for (std::size_t r = 0; r < guidance.size(); ++r) {
        const bool verified = guidance.at(r, "核对状态").find(VerifiedMark) != std::string::npos;
        const std::string& system = guidance.at(r, "系统类型");
        if (guidance.at(r, "参数") == VelocityParameter &&
            (system == ClosedSystem || system == OpenSystem)) {
            VelocityRange range;
            range.dn = static_cast<int>(number(guidance.at(r, "公称直径DN")).value());
            range.lower = number(guidance.at(r, "下限")).value();
            range.upper = number(guidance.at(r, "上限")).value();
            range.source = guidance.at(r, "来源");
            range.verified = verified;
            (system == OpenSystem ? catalog.openVelocity : catalog.closedVelocity)
                .push_back(std::move(range));
            continue;
        }
        Guidance g;
        g.system = system;
        g.dn = guidance.at(r, "公称直径DN");
        g.parameter = guidance.at(r, "参数");
        g.lower = number(guidance.at(r, "下限"));
        g.upper = number(guidance.at(r, "上限"));
        g.unit = guidance.at(r, "单位");
        g.note = guidance.at(r, "条件与说明");
        g.source = guidance.at(r, "来源");
        g.verified = verified;
        catalog.guidance.push_back(std::move(g));
    }
    for (auto* table : {&catalog.closedVelocity, &catalog.openVelocity})
        std::sort(table->begin(), table->end(),
                  [](const VelocityRange& a, const VelocityRange& b) { return a.dn < b.dn; });
    if (catalog.closedVelocity.empty() || catalog.openVelocity.empty())
        throw std::logic_error("shipped velocity table is empty");
    return catalog;
}

}  // namespace hydraulics
