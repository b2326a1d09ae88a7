// Saving a 10,000-row friction table as .xls and as .xlsx, from the finished cells to the
// renamed file (fsync included), in a folder under the system's temporary folder.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tablefiles/resulttableworkbook.h"
#include "tablefiles/workbook.h"

namespace {

std::vector<tablefiles::Cell> frictionTable(int rows) {
    std::vector<ResultRowTexts> table;
    for (int i = 0; i < rows; ++i) {
        const std::string n = std::to_string(i);
        table.push_back({"直径" + std::to_string(15 + i % 286) + "毫米  长度" +
                             std::to_string(100 + i) + "米  水温" + std::to_string(5 + i % 90) +
                             "℃  流量" + std::to_string(i % 50) +
                             ".5立方米每小时  粗糙度0.2毫米  第" + n + "段",
                         std::to_string(i % 1000) + "." + std::to_string(100 + i % 900)});
    }
    return tablefiles::resultTableCells(TableKind::Friction, table, "12345.678");
}

void saveTable(benchmark::State& state, const char* extension) {
    const auto cells = frictionTable(static_cast<int>(state.range(0)));
    const auto folder = std::filesystem::temp_directory_path() / "quorvel-workbookbench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (std::string("table") + extension)).string();
    const auto format = tablefiles::workbookFormatFor(path);
    for (auto _ : state) {
        const auto result = tablefiles::writeWorkbook(path, "sheet1", cells, format);
        if (!result.ok()) state.SkipWithError(result.detail.c_str());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove_all(folder);
}

void BM_saveFrictionTableXls(benchmark::State& state) { saveTable(state, ".xls"); }
void BM_saveFrictionTableXlsx(benchmark::State& state) { saveTable(state, ".xlsx"); }
BENCHMARK(BM_saveFrictionTableXls)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_saveFrictionTableXlsx)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
