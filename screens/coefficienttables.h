#pragma once

#include <array>

// The coefficients the reference window shows, as printed in the source tables.
namespace coefficienttables {

// Table A: one coefficient per fitting. A name is shown in up to three parts: the fitting, what
// the value refers to (or the figure), and the ends of the tee the flow runs between.
struct SingleValueRow {
    const char* fitting;
    const char* reference;
    const char* ends;  // nullptr: the reference takes the room of the ends as well
    const char* value;
};
constexpr std::array<SingleValueRow, 10> TableA{{
    {"渐缩变径管", "（对应小断面流速v）", nullptr, "0.1"},
    {"渐扩变径管", "（对应小断面流速v）", nullptr, "0.3"},
    {"无网滤水阀", "（对应阀进口流速v）", nullptr, "3.0"},
    {"合流三通---旁支", "（图1）", "2----3", "1.5"},
    {"分流三通---直通", "（图2）", "1----3", "0.5"},
    {"分流三通---旁支", "（图3）", "1----2", "1.5"},
    {"分流三通---直流", "（图4）", "1----3", "0.1"},
    {"合流三通", "（图5）", "1、3----2", "3.0"},
    {"分流三通", "（图6）", "2----1、3", "1.5"},
    {"合流三通", "（图7）", "2----3", "0.5"},
}};

// Table B: coefficients by nominal diameter. The values are texts as printed in the source
// table, "10" and "9" included.
constexpr std::array<const char*, 6> TableBDiameters{"12", "20", "25", "32", "40", ">=50"};
struct DiameterRow {
    const char* angle;  // elbows and bends: the angle in degrees, shown with a degree mark
    const char* fitting;
    std::array<const char*, 6> values;
};
constexpr std::array<DiameterRow, 9> TableB{{
    {"45", "弯  头", {"1.0", "1.0", "0.8", "0.8", "0.5", "0.5"}},
    {"90", "弯  头", {"2.0", "2.0", "1.5", "1.5", "1.0", "1.0"}},
    {"90", "煨弯及乙字管", {"1.5", "1.5", "1.0", "1.0", "0.5", "0.5"}},
    {nullptr, "截止阀", {"16.0", "10.0", "9.0", "9.0", "8.0", "7.0"}},
    {nullptr, "闸阀", {"1.5", "0.5", "0.5", "0.5", "0.5", "0.5"}},
    {nullptr, "斜杆式截止阀", {"3.0", "3.0", "3.0", "2.5", "2.5", "2.0"}},
    {nullptr, "旋  塞", {"4.0", "2.0", "2.0", "2.0", "---", "---"}},
    {nullptr, "升降式止回阀", {"16.0", "10", "9", "9.0", "8.0", "7.0"}},
    {nullptr, "旋启式止回阀", {"5.1", "4.5", "4.1", "4.1", "3.9", "3.4"}},
}};

// Table C: one fitting by nominal diameter.
constexpr std::array<const char*, 9> TableCDiameters{"40",  "50",  "70",  "100", "150",
                                                     "200", "300", "500", "750"};
constexpr const char* TableCFitting = "有滤网底阀";
constexpr std::array<const char*, 9> TableCValues{"12",  "10",  "8.5", "7.0", "6.0",
                                                  "5.2", "3.7", "2.5", "1.6"};

}  // namespace coefficienttables
