#pragma once

#include <array>
#include <string>

#include "hydraulics/watersystem.h"

// Texts of the engine's results: short ASCII words for the command line's note and error
// columns, Chinese sentences for the window and the report, and the row texts of the section
// table that the command line and the workbook share.
namespace hydraulics {

// "vel-high", "r-high", "vel-low", "laminar", "no-size-fits".
const char* noteCode(NoteKind kind);
// e.g. "流速高于推荐范围".
std::string noteText(NoteKind kind);

// e.g. "missing-L", "nan-G", "negative-d", "duplicate-id", "unknown-up", "loop",
// "bad-setting-t": the kind, with the field where the kind names one.
std::string errorCode(const SectionError& error);
// e.g. "上游管段“X”不存在", "管段A、B、C的上游首尾相连成环".
std::string errorText(const SectionError& error);

// The field's column name as the input header spells it (L, G, …) or the setting's option.
const char* fieldName(Field field);

// Every code with its meaning in English, one per line, for --help.
std::string codeListing();

// A figure in the calculator's 7-significant-digit text.
std::string figureText(double value);

inline constexpr std::array<const char*, 16> SectionColumns{
    "id",   "up", "G",  "DN",    "d", "v",    "R",    "Py",
    "zeta", "Pd", "Pj", "equip", "P", "Pend", "note", "error"};

// One output row: id and up as typed, then the figures (empty on an error), the notes and the
// errors as codes joined by ';'.
std::array<std::string, 16> sectionRowTexts(const SectionInput& input, const SectionResult& result);

// The summary as key=value lines, each ending with '\n': flow_m3h, critical (ids joined by
// '>'), critical_Pa, head_kPa, head_m, then unbalanced=ID,percent,extra_Pa,Kv per branch.
// With unusable settings every value is empty.
std::string summaryText(const SystemResult& result);

}  // namespace hydraulics
