#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the engineer types: the pipe sections of a water system and the project's settings.
namespace hydraulics {

// Fittings of one kind in a section, chosen from the local-loss coefficient tables. Kept with
// the section for its tooltip and the report; the section's zeta is what is computed.
struct FittingCount {
    std::string name;  // e.g. "90°弯头"
    int count = 1;
    std::string zetaEach;  // ζ of one fitting, as typed or listed

    bool operator==(const FittingCount&) const = default;
};

// One pipe section, every field as typed so that nothing is lost to rounding. An empty text
// means "not given". Units: L in m, G in m³/h, Q in kW, DN the nominal size, d in mm, zeta
// dimensionless (Σζ of the section), equip in kPa.
struct SectionInput {
    std::string id;  // unique, not empty
    std::string up;  // the upstream section's id; empty for a section leaving the plant
    std::string L;
    std::string G;  // wins over Q; both empty: the sum of the sections directly below
    std::string Q;
    std::string DN;     // both DN and d empty: sized automatically
    std::string d;      // wins over DN
    std::string zeta;   // empty counts as 0
    std::string equip;  // empty counts as 0
    std::vector<FittingCount> fittings;
    std::string equipmentName;  // the equipment list entry equip was taken from, if any
    // The command line could not read the row whole (bad quoting, wrong number of fields): it
    // fails, and so does what hangs on it. The window never sets it.
    bool unreadable = false;

    bool operator==(const SectionInput&) const = default;
};

enum class FrictionModel {
    Colebrook,  // Colebrook–White, 64/Re below Re 2300
    Screen,     // the friction screen's own computation (computeFrictionLoss)
};

// The project's settings. The defaults are the command line's.
struct SystemSettings {
    double t = 7;                     // °C, design water temperature
    double dt = 5;                    // K, supply/return temperature difference
    std::string series = "steel";     // PipeSeries::name
    std::optional<double> roughness;  // mm; empty = the series' default (closed / open)
    FrictionModel friction = FrictionModel::Colebrook;
    double rMax = 300;           // Pa/m, sizing limit of R
    bool open = false;           // open system: the static lift counts in the head
    double staticLift = 0;       // m of water, open systems only
    bool returnDoubled = false;  // each listed loss counted twice (return = supply)
    double plantKPa = 0;         // kPa, plant equipment loss added to the critical loss
    double safety = 1.1;         // safety factor on the pump head
    double balancePercent = 15;  // %, largest allowed shortfall of a parallel branch

    bool operator==(const SystemSettings&) const = default;
};

// A field text as a number, by the rules of numbertext::parseSingle but in double precision:
// the whole text, spaces and tabs around allowed, is one decimal number (sign, digits, point,
// exponent); full-width digits, words, "nan", "inf", hexadecimal and figures beyond the range
// of a double are not numbers (nullopt). Below the smallest double is 0. Empty text gives
// nullopt as well; callers that allow an empty field test for it first.
std::optional<double> parseNumberField(std::string_view text);

// Σ count·ζ of the fittings in the 7-significant-digit text of the calculator; nullopt when
// a ζ is not a number, a count is negative, or the sum is not finite. No fittings: "0".
std::optional<std::string> fittingsZetaText(const std::vector<FittingCount>& fittings);

}  // namespace hydraulics
