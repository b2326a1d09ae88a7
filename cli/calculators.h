#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "core/lossrecord.h"
#include "tablefiles/resulttableworkbook.h"

// The two computations the command line offers, described so that argument mode and CSV mode
// share one path: the names of the inputs (in argument and column order), the names of the
// results, and a function from the parsed inputs to the result texts.
struct Calculator {
    static constexpr std::size_t MaxResults = 6;

    std::string_view command;
    std::span<const std::string_view> inputs;
    std::span<const std::string_view> results;
    // Writes one text per result and returns nullptr, or returns the failure code.
    const char* (*compute)(std::span<const float> inputs,
                           std::array<std::string, MaxResults>& texts);
    // The row the result table records for the input texts and the result texts.
    ResultRowTexts (*tableRow)(std::span<const std::string_view> inputs,
                               const std::array<std::string, MaxResults>& texts);
    tablefiles::TableKind tableKind;
};

// The calculator behind a command word ("friction", "local"), or nullptr.
const Calculator* findCalculator(std::string_view command);
