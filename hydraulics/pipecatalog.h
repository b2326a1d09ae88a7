#pragma once

#include <optional>
#include <string>
#include <vector>

// Pipe series and the sizing guidance of air-conditioning water systems, with the source of
// every figure. The shipped tables (data/管道系列.csv, 钢管规格.csv, 铜管及塑料管规格.csv,
// 推荐比摩阻.csv) are compiled into the library: no program reads a file at run time.
namespace hydraulics {

// One size of a series. Lengths in mm; inner = outer − 2·wall, the nominal bore (no
// tolerance, coating or scale).
struct PipeRow {
    // Nominal size: DN for steel and copper; the outer diameter dn for PP-R, which is sold by
    // it. A section's typed DN is matched against this.
    int size = 0;
    double outer = 0;
    double wall = 0;
    double inner = 0;
    bool verified = false;  // the figure was seen in a primary source
    std::string standard;   // e.g. "GB/T 3091-2015 表1"
};

struct PipeSeries {
    std::string name;  // command-line name: "steel", "copper-B", "ppr-S5", ...
    std::string title;  // shown in the window and the report: "焊接钢管(普通)+无缝钢管", ...
    std::string material;          // 钢管, 铜管, PP-R管
    std::string standard;          // the standards of its rows
    std::string source;            // where the rows come from and how far they were checked
    double roughnessClosed = 0.2;  // mm, default K of a closed system
    double roughnessOpen = 0.5;    // mm, default K of an open system
    std::string roughnessSource;
    // PP-R is sold by outer diameter: its sizes are dn, and its velocity range is found by the
    // inner diameter, not by the size.
    bool sizeIsOuterDiameter = false;
    std::vector<PipeRow> rows;  // by increasing inner diameter

    double defaultRoughness(bool open) const { return open ? roughnessOpen : roughnessClosed; }
};

// Recommended velocity in a pipe of one DN (m/s).
struct VelocityRange {
    int dn = 0;
    double lower = 0;
    double upper = 0;
    std::string source;
    bool verified = false;
};

// A piece of specific-friction-loss (R, 比摩阻) or other sizing guidance, as published.
struct Guidance {
    std::string system;     // 空调水系统(闭式), ...
    std::string dn;         // "50", "全部", "≤50", ...
    std::string parameter;  // 单位长度阻力(比摩阻), 并联环路压力损失相对差额, ...
    std::optional<double> lower;
    std::optional<double> upper;
    std::string unit;  // Pa/m, m/s, %
    std::string note;
    std::string source;
    bool verified = false;
};

struct PipeCatalog {
    std::vector<PipeSeries> series;             // the first is the default
    std::vector<VelocityRange> closedVelocity;  // by increasing DN
    std::vector<VelocityRange> openVelocity;    // by increasing DN
    std::vector<Guidance> guidance;  // the R ranges and the limits the defaults come from

    const PipeSeries* find(const std::string& name) const;

    // The velocity range for a pipe: that of its DN when the table has it, otherwise that of
    // the tabulated DN nearest its inner diameter (a section given only d, a PP-R pipe).
    const VelocityRange& velocityRange(bool open, int dn, double innerMm) const;
    const VelocityRange& velocityRange(bool open, double innerMm) const;
    // The range for a row of a series, by the rules above.
    const VelocityRange& velocityRange(bool open, const PipeSeries& series,
                                       const PipeRow& row) const;
};

// The shipped catalog, parsed from the tables compiled into the library.
PipeCatalog shippedCatalog();

// The name of the default series ("steel": GB/T 3091 ordinary wall to DN150, the common
// seamless sizes from DN200).
inline constexpr const char* DefaultSeriesName = "steel";

}  // namespace hydraulics
