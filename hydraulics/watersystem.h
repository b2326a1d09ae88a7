#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/sectioninput.h"

// The water system as a tree of pipe sections from the plant: flows, sizes, losses along every
// loop, the critical loop, the pump and the balance of parallel branches.
namespace hydraulics {

// The field of a section or of the settings that an error is about.
enum class Field {
    None,
    Id,
    Up,
    L,
    G,
    Q,
    DN,
    d,
    Zeta,
    Equip,
    // settings
    Temperature,
    DeltaT,
    Series,
    Roughness,
    RMax,
    StaticLift,
    Plant,
    Safety,
    Balance,
};

enum class ErrorKind {
    MissingId,        // the id is empty
    DuplicateId,      // ids: the id, given to every section carrying it
    MissingField,     // field: L, or a required field left empty
    NotANumber,       // field: not a finite decimal number
    Negative,         // field: a negative length, flow, load, diameter, ζ or equipment loss
    ZeroDiameter,     // field: DN or d: a typed size of zero
    UnknownSize,      // field DN: the project's series has no such size
    UnknownUpstream,  // ids: the upstream id no section carries
    Loop,             // ids: every section of the loop, in upstream order
    UpstreamFailed,   // ids: the nearest failed section upstream
    NoFlow,           // a terminal with neither G nor Q
    FlowFromFailed,   // ids: the failed section below whose flow would be summed
    BadSetting,       // field: the setting (t outside the water tables, Δt ≤ 0, ...)
    NotComputable,    // the friction loss has no finite result (e.g. overflow of huge figures)
    UnreadableRow,    // SectionInput::unreadable
};

struct SectionError {
    ErrorKind kind = ErrorKind::NotComputable;
    Field field = Field::None;
    std::vector<std::string> ids;
    // Sections the error is about beyond those in ids: a long loop is named by its first
    // LoopIdsNamed sections, so that each of its sections does not carry all of it.
    std::size_t more = 0;
};

inline constexpr std::size_t LoopIdsNamed = 12;

enum class NoteKind {
    VelocityHigh,  // velocity above the recommended range of its DN
    RHigh,         // R above the project's limit
    VelocityLow,   // velocity below 0.25 m/s: the pipe cannot be laid without slope
    Laminar,       // Re below 2300
    NoSizeFits,    // sized automatically, no size of the series qualified: the largest taken
};

enum class FlowSource {
    Typed,   // G as typed
    Load,    // from Q
    Summed,  // the sum of the sections directly below
};

// Results of one section. Units: G m³/h, d mm, v m/s, R Pa/m, every pressure in Pa.
struct SectionResult {
    std::vector<SectionError> errors;  // empty: the figures below are valid
    double G = 0;
    FlowSource flowSource = FlowSource::Typed;
    std::optional<int> size;  // the fixed or chosen size; empty when only d was typed
    bool sizeAutomatic = false;
    double d = 0;
    double v = 0;
    double Re = 0;
    double lambda = 0;
    double R = 0;
    double Py = 0;
    double zeta = 0;
    double Pd = 0;
    double Pj = 0;
    double equip = 0;  // Pa
    double P = 0;      // (Py + Pj)·k + equip
    double Pend = 0;   // loss from the plant to the end of the section
    std::vector<NoteKind> notes;
    bool critical = false;  // on the critical loop

    bool ok() const { return errors.empty(); }
};

// A parallel branch more than the balance limit below the largest at its branching point.
struct UnbalancedBranch {
    std::string branchPoint;  // the section the branches leave; empty for the plant
    std::string branchId;     // the first section of the branch
    double branchLoss = 0;    // Pa, its largest path from the branching point
    double largestLoss = 0;   // Pa, the largest branch there
    double percent = 0;       // (largest − branch) / largest · 100
    double extraPa = 0;       // largest − branch: what a balancing valve must take
    double kv = 0;            // m³/h at 1 bar: G / √(ΔP / 100 kPa)
};

// The pump head as the report prints it: H = safety × (critical + plant) + ρ·g·lift.
struct HeadSteps {
    double safety = 0;
    double criticalPa = 0;
    double plantPa = 0;
    double rho = 0;       // kg/m³ at t
    double g = 9.81;      // m/s²
    double liftM = 0;     // 0 for a closed system
    double staticPa = 0;  // ρ·g·lift
    double headPa = 0;
};

struct SystemResult {
    std::vector<SectionResult> sections;  // in input order
    // Set when a setting is unusable; every section then carries a BadSetting error.
    std::optional<SectionError> settingsError;
    double rho = 0;                      // kg/m³ at t
    double nu = 0;                       // m²/s at t
    double roughness = 0;                // mm, as used
    const PipeSeries* series = nullptr;  // into the catalog passed in; null on a bad series
    std::string velocitySource;          // of the recommended velocities used (closed or open)
    std::string guidanceSource;          // of the default R limit, balance limit and slope velocity
    bool complete = false;               // every section computed
    double pumpFlow = 0;  // m³/h, the sum of the computed sections leaving the plant
    std::vector<std::string> criticalPath;     // ids from the plant to the terminal
    std::vector<std::size_t> criticalIndices;  // the same as indices into sections
    double criticalPa = 0;
    double headKPa = 0;
    double headM = 0;  // H·1000/(ρ·g)
    HeadSteps head;
    std::vector<UnbalancedBranch> unbalanced;
};

// Flow from a cooling or heating load: G = 3600·Q / (c·ρ(t)·Δt), c = 4.187 kJ/(kg·K).
// Q in kW, ρ in kg/m³, Δt in K, G in m³/h. Energy balance of the water flow.
double flowFromLoad(double Q, double rho, double dt);

// Darcy friction factor by Colebrook–White, 1/√λ = −2·log10(K/(3.7·d) + 2.51/(Re·√λ)),
// iterated in double to a relative change below 1e-12; λ = 64/Re for Re < 2300. K and d in
// the same unit; Re > 0. Colebrook (1939), J. Inst. Civ. Eng. 11, 133–156.
double colebrookFactor(double Re, double relativeRoughness);

// Computes the whole tree. Per section, with ρ and ν of water at t (core/waterproperties.h,
// tabulated 0–100 °C; t outside that range is a settings error):
//   G  typed (m³/h), flowFromLoad(Q), or the sum of the sections directly below;
//   v = G/3600 / (π·d²/4)  m/s, d in m;  Re = v·d/ν;
//   λ  colebrookFactor(Re, K/d), or 64/Re below Re 2300; under FrictionModel::Screen, v and R
//      are computeFrictionLoss's V and Hf for D = d, L = 1000 mm, t, G, K;
//   R = λ/d · ρv²/2  Pa/m (Darcy–Weisbach);  Pd = ρv²/2;  Py = R·L;  Pj = Σζ·Pd  (Pa);
//   P = (Py + Pj)·k + equip, k = 2 when the return is doubled;  Pend = Σ P from the plant.
// A section without a fixed size takes the smallest of the series with v at most the upper
// recommended velocity of its DN (closed or open system) and R at most rMax; the largest,
// noted, when none qualifies. Zero flow has no loss (the laminar limit R = 32·ρ·ν·v/d² → 0).
// Critical loop: the path to the terminal of largest Pend. Head (Pa) = safety·(critical +
// plant) + ρ·g·lift (open system, g = 9.81 m/s²); in m of water head/(ρ·g). Balance: at the
// plant and at each section with two or more below it, a branch whose largest path loss from
// there is more than balancePercent below the largest is listed with the difference ΔP and
// Kv = G/√(ΔP/100 kPa) (the flow coefficient of a valve, m³/h at 1 bar). The 15 % limit and
// the 0.25 m/s slope velocity are air-conditioning design guidance (data/推荐比摩阻.csv
// rows 62–63).
// Linear in the number of sections (times the series length for sizing); iterative, so a
// chain of any depth fits the stack. Every section gets either its figures or its errors;
// failed sections and those below them stay out of the loop sums and the summary.
SystemResult computeSystem(const std::vector<SectionInput>& sections,
                           const SystemSettings& settings, const PipeCatalog& catalog);

}  // namespace hydraulics
