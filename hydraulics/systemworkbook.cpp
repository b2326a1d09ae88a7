#include "hydraulics/systemworkbook.h"

#include "hydraulics/systemtexts.h"

namespace hydraulics {
namespace {

using tablefiles::Cell;
using tablefiles::NumberStyle;

class Sheet {
  public:
    void put(std::uint32_t row, std::uint16_t column, std::string text) {
        if (text.empty()) return;
        cells_.push_back(Cell{row, column, std::move(text), NumberStyle::General});
    }
    // A line of texts from column A.
    void line(std::uint32_t row, std::initializer_list<std::string> texts) {
        std::uint16_t column = 0;
        for (const std::string& text : texts) put(row, column++, text);
    }
    std::vector<Cell> take() { return std::move(cells_); }

  private:
    std::vector<Cell> cells_;
};

std::string joinedTexts(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) (joined += joined.empty() ? "" : "；") += text;
    return joined;
}

}  // namespace

std::string systemSheetName() { return "水系统水力计算"; }

std::vector<Cell> systemWorkbookCells(const std::vector<SectionInput>& sections,
                                      const SystemSettings& settings, const SystemResult& result) {
    Sheet sheet;
    std::uint32_t row = 0;
    // The command line's column names, each with its unit.
    constexpr std::array<const char*, 16> Units{
        "", "",      " (m³/h)", "",      " (mm)", " (m/s)", " (Pa/m)", " (Pa)",
        "", " (Pa)", " (Pa)",   " (Pa)", " (Pa)", " (Pa)",  "",        ""};
    for (std::uint16_t c = 0; c < SectionColumns.size(); ++c)
        sheet.put(row, c, std::string(SectionColumns[c]) + Units[c]);
    sheet.put(row, SectionColumns.size(), "说明");
    sheet.put(row, SectionColumns.size() + 1, "错误原因");
    for (std::size_t i = 0; i < sections.size() && i < result.sections.size(); ++i) {
        ++row;
        const SectionResult& r = result.sections[i];
        std::array<std::string, 16> texts = sectionRowTexts(sections[i], r);
        for (std::uint16_t c = 0; c < texts.size(); ++c) sheet.put(row, c, std::move(texts[c]));
        std::vector<std::string> notes;
        for (NoteKind note : r.notes) notes.push_back(noteText(note));
        std::vector<std::string> errors;
        for (const SectionError& e : r.errors) errors.push_back(errorText(e));
        sheet.put(row, SectionColumns.size(), joinedTexts(notes));
        sheet.put(row, SectionColumns.size() + 1, joinedTexts(errors));
    }

    row += 2;
    const bool figures = !result.settingsError;
    auto figure = [&](double value) { return figures ? figureText(value) : std::string(); };
    std::string critical;
    for (const std::string& id : result.criticalPath)
        (critical += critical.empty() ? "" : ">") += id;
    sheet.line(row++, {"flow_m3h", figure(result.pumpFlow), "水泵流量 m³/h"});
    sheet.line(row++, {"critical", critical, "最不利环路（自冷热源至末端）"});
    sheet.line(row++, {"critical_Pa", figure(result.criticalPa), "最不利环路阻力 Pa"});
    sheet.line(row++, {"head_kPa", figure(result.headKPa), "水泵扬程 kPa"});
    sheet.line(row++, {"head_m", figure(result.headM), "水泵扬程 m"});
    for (const UnbalancedBranch& u : result.unbalanced)
        sheet.line(row++, {"unbalanced", u.branchId, figureText(u.percent), figureText(u.extraPa),
                           figureText(u.kv),
                           u.branchPoint.empty() ? std::string("冷热源") : u.branchPoint});
    if (figures) {
        const HeadSteps& h = result.head;
        std::string steps = "H = " + figureText(h.safety) + " × (" + figureText(h.criticalPa) +
                            " + " + figureText(h.plantPa) + ")";
        if (h.liftM > 0 || settings.open)
            steps +=
                " + " + figureText(h.rho) + " × " + figureText(h.g) + " × " + figureText(h.liftM);
        steps += " = " + figureText(h.headPa) + " Pa";
        sheet.line(row++, {"head_steps", steps, "扬程算式"});
    }
    if (!result.complete)
        sheet.line(row++, {"complete", "no", "部分管段未能计算，汇总只含已算出的管段"});

    ++row;
    sheet.line(row++, {"t", figureText(settings.t), "设计水温 ℃"});
    sheet.line(row++, {"dt", figureText(settings.dt), "供回水温差 K"});
    sheet.line(row++, {"series", settings.series,
                       result.series ? result.series->title : std::string("管材系列")});
    sheet.line(row++, {"k", figures ? figureText(result.roughness) : std::string(), "粗糙度 mm"});
    sheet.line(row++,
               {"friction", settings.friction == FrictionModel::Screen ? "screen" : "colebrook",
                "摩擦系数算法"});
    sheet.line(row++, {"rmax", figureText(settings.rMax), "比摩阻上限 Pa/m"});
    sheet.line(row++, {"open", settings.open ? figureText(settings.staticLift) : std::string(),
                       settings.open ? "开式系统，静水高度 m" : "闭式系统"});
    sheet.line(row++, {"return_doubled", settings.returnDoubled ? "yes" : "no",
                       "回水管按与供水管相同计入"});
    sheet.line(row++, {"plant_kPa", figureText(settings.plantKPa), "冷热源设备阻力 kPa"});
    sheet.line(row++, {"safety", figureText(settings.safety), "扬程安全系数"});
    sheet.line(row++, {"balance", figureText(settings.balancePercent), "并联环路不平衡率限值 %"});
    if (result.series != nullptr) {
        ++row;
        sheet.line(row++, {"source_sizes", result.series->standard, result.series->source});
        sheet.line(row++, {"source_roughness", result.series->roughnessSource});
        sheet.line(row++, {"source_velocity", result.velocitySource, "推荐流速"});
        sheet.line(row++, {"source_guidance", result.guidanceSource,
                           "比摩阻100～300 Pa/m、并联环路差额15%、无坡度最低流速0.25 m/s"});
    }
    return sheet.take();
}

}  // namespace hydraulics
