#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "core/lossrecord.h"
#include "core/numbertext.h"
#include "tablefiles/resulttableworkbook.h"

// The two computations the command line offers, described so that argument mode and CSV mode
// share one path: the names of the inputs (in argument and column order), the names of the
// results, and a function from the parsed inputs to the result texts.
struct Calculator {
    static constexpr std::size_t MaxResults = 6;
    // Room for the result texts of one computation, commas between.
    static constexpr std::size_t MaxResultBytes =
        MaxResults * (numbertext::MaxGeneralTextLength + 1);

    // The end of the result texts written, or the failure code (end then unset).
    struct Written {
        char* end = nullptr;
        const char* failure = nullptr;
    };

    std::string_view command;
    std::span<const std::string_view> inputs;
    std::span<const std::string_view> results;
    // Writes the result texts at `out` (room for MaxResultBytes), commas between.
    Written (*compute)(std::span<const float> inputs, char* out);
    // The row the result table records for the input texts and the result texts.
    ResultRowTexts (*tableRow)(std::span<const std::string_view> inputs,
                               std::span<const std::string_view> results);
    TableKind tableKind;
};

// The calculator behind a command word ("friction", "local"), or nullptr.
const Calculator* findCalculator(std::string_view command);
