#include "tablefiles/resulttableworkbook.h"

namespace tablefiles {
namespace {

// The runs of spaces line the header's names up over the fields of the parameter lines.
constexpr const char* FrictionParameterHeader =
    "直径D        长度L    水温t      流量G     粗糙度k     水流速度v";
constexpr const char* FrictionResultHeader = "沿程阻力计算结果（Pa）";
constexpr const char* FrictionTotalLabel = "总沿程阻力值（Pa）";
constexpr const char* LocalParameterHeader = "局部阻力系数ζ 水温t  水流速度v";
constexpr const char* LocalResultHeader = "局部阻力计算结果（Pa）";
constexpr const char* LocalTotalLabel = "总局部阻力值（Pa）";

constexpr std::uint16_t ParameterColumn = 2;  // C
constexpr std::uint16_t ResultColumn = 3;     // D

}  // namespace

std::string defaultSheetName() { return "sheet1"; }

std::vector<Cell> resultTableCells(TableKind kind, const std::vector<ResultRowTexts>& rows,
                                   const std::string& totalText) {
    const bool friction = kind == TableKind::Friction;
    std::vector<Cell> cells;
    cells.reserve(2 * rows.size() + 4);
    cells.push_back(
        {0, ParameterColumn, friction ? FrictionParameterHeader : LocalParameterHeader});
    cells.push_back({0, ResultColumn, friction ? FrictionResultHeader : LocalResultHeader});
    std::uint32_t row = 1;
    for (const ResultRowTexts& r : rows) {
        cells.push_back({row, ParameterColumn, r.parameterLine});
        cells.push_back({row, ResultColumn, r.resultText, NumberStyle::Fixed});
        ++row;
    }
    if (!rows.empty()) {
        cells.push_back({row, ParameterColumn, friction ? FrictionTotalLabel : LocalTotalLabel});
        cells.push_back({row, ResultColumn, totalText, NumberStyle::General});
    }
    return cells;
}

}  // namespace tablefiles
