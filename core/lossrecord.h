#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frictionloss.h"
#include "core/localloss.h"

// One calculation as the screens, the command line and the result tables see it: the inputs in
// their fixed order, the results, and the texts the results are shown as.

struct FrictionLossRecord {
    // Inputs in box, argument and column order.
    static constexpr std::array<std::string_view, 5> InputNames{"D", "L", "t", "G", "K"};
    static constexpr std::array<std::string_view, 6> ResultNames{"rho", "nu",     "V",
                                                                 "Re",  "lambda", "Hf"};

    FrictionLossInput input;
    FrictionLossResult result;

    static FrictionLossInput inputFrom(std::span<const float, 5> values) {
        return {values[0], values[1], values[2], values[3], values[4]};
    }
    static CalcOutcome<FrictionLossRecord> compute(const FrictionLossInput& input);

    // Which input makes the sum under the friction factor's cube root negative, for a
    // computation that failed with NegativeRoot: a negative diameter turns both terms
    // negative, a negative flow the Reynolds term, a negative roughness the roughness term.
    enum class Input { Diameter, Flow, Roughness };
    static Input negativeRootCause(const FrictionLossInput& input);

    // The result texts in ResultNames order. The viscosity is a 64-bit value rounded once to
    // 7 significant digits; going through a 32-bit value first could change the 7th digit.
    std::array<std::string, 6> resultTexts() const;
    // The same texts written at `out`, `separator` between them; returns the end. Room needed:
    // ResultNames.size() * (numbertext::MaxGeneralTextLength + 1).
    char* writeResultTexts(char* out, char separator) const;
    // The two results the screen shows.
    std::string velocityText() const;
    std::string lossText() const;
};

struct LocalLossRecord {
    static constexpr std::array<std::string_view, 3> InputNames{"zeta", "v", "t"};
    static constexpr std::array<std::string_view, 1> ResultNames{"Hf"};

    LocalLossInput input;
    float Hf = 0;  // Pa

    static LocalLossInput inputFrom(std::span<const float, 3> values) {
        return {values[0], values[1], values[2]};
    }
    static CalcOutcome<LocalLossRecord> compute(const LocalLossInput& input);

    std::array<std::string, 1> resultTexts() const { return {lossText()}; }
    char* writeResultTexts(char* out, char separator) const;
    std::string lossText() const;
};

// The two result tables: friction losses (table1) and local losses (table2).
enum class TableKind { Friction, Local };

// One row of a result table: the parameter line with the inputs as typed, and the loss. The
// screens, the command line, the table windows and the workbook writer all pass this one row.
struct ResultRowTexts {
    std::string parameterLine;
    std::string resultText;
};

// The row of the friction table for the texts of the friction screen's boxes, or nothing when
// any of them is empty. The velocity is shown "0.00", the loss "0.000"; inputs as typed.
std::optional<ResultRowTexts> frictionRow(std::string_view d, std::string_view l,
                                          std::string_view t, std::string_view g,
                                          std::string_view k, std::string_view v,
                                          std::string_view hf);
// The row of the local table for the texts of the local screen's boxes.
std::optional<ResultRowTexts> localRow(std::string_view zeta, std::string_view v,
                                       std::string_view t, std::string_view hf);

// The total of a table as its total box shows it: the rows are added from the last to the
// first, each step reading the leading number of the result text and of the running total's
// text and writing the sum back as a 15-digit text. Empty with no rows.
std::string tableTotal(const std::vector<std::string>& resultTexts);
