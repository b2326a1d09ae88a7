#include "hydraulics/watersystem.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/frictionloss.h"
#include "core/waterproperties.h"

namespace hydraulics {
namespace {

constexpr double SpecificHeat = 4.187;  // kJ/(kg·K), water
constexpr double Gravity = 9.81;        // m/s²
constexpr double LaminarReynolds = 2300;
// m/s: below it a horizontal pipe must be laid with a slope (21656.net, 推荐比摩阻.csv row 63).
constexpr double SlopeVelocity = 0.25;
// °C: the range of the water density table (core/waterproperties.cpp).
constexpr double TableLowest = 0;
constexpr double TableHighest = 100;

constexpr int Plant = -1;       // the section leaves the plant
constexpr int Unresolved = -2;  // the upstream id names no single section

struct Numbers {
    double L = 0;
    std::optional<double> G;
    std::optional<double> Q;
    std::optional<double> DN;
    std::optional<double> d;
    double zeta = 0;
    double equip = 0;  // kPa
};

// What the friction loss of a size comes to at a flow.
struct Friction {
    double v = 0;
    double Re = 0;
    double lambda = 0;
    double R = 0;
    bool ok = false;
};

struct Context {
    const SystemSettings& settings;
    const PipeCatalog& catalog;
    const PipeSeries& series;
    double rho = 0;
    double nu = 0;
    double K = 0;  // mm
};

bool finite(double x) { return std::isfinite(x); }

// m/s of G m³/h in a bore of dMm mm.
double velocity(double G, double dMm) {
    const double d = dMm / 1000.0;
    return G / 3600.0 / (std::numbers::pi / 4.0 * d * d);
}

SectionError error(ErrorKind kind, Field field = Field::None, std::vector<std::string> ids = {}) {
    return SectionError{kind, field, std::move(ids)};
}

std::optional<SectionError> checkSettings(const SystemSettings& s, const PipeCatalog& catalog) {
    auto bad = [](Field field) { return error(ErrorKind::BadSetting, field); };
    if (!finite(s.t) || s.t < TableLowest || s.t > TableHighest) return bad(Field::Temperature);
    if (!finite(s.dt) || s.dt <= 0) return bad(Field::DeltaT);
    if (catalog.find(s.series) == nullptr) return bad(Field::Series);
    if (s.roughness && (!finite(*s.roughness) || *s.roughness < 0)) return bad(Field::Roughness);
    if (!finite(s.rMax) || s.rMax <= 0) return bad(Field::RMax);
    if (!finite(s.staticLift) || s.staticLift < 0) return bad(Field::StaticLift);
    if (!finite(s.plantKPa) || s.plantKPa < 0) return bad(Field::Plant);
    if (!finite(s.safety) || s.safety <= 0) return bad(Field::Safety);
    if (!finite(s.balancePercent) || s.balancePercent < 0 || s.balancePercent > 100)
        return bad(Field::Balance);
    return std::nullopt;
}

// One typed field: empty gives `empty`, otherwise a number or an error on the section.
std::optional<double> field(const std::string& text, Field which, bool required, bool mayBeNegative,
                            std::vector<SectionError>& errors) {
    if (text.empty()) {
        if (required) errors.push_back(error(ErrorKind::MissingField, which));
        return std::nullopt;
    }
    const std::optional<double> value = parseNumberField(text);
    if (!value) {
        errors.push_back(error(ErrorKind::NotANumber, which));
        return std::nullopt;
    }
    if (!mayBeNegative && *value < 0) {
        errors.push_back(error(ErrorKind::Negative, which));
        return std::nullopt;
    }
    return value;
}

// ζ may be negative (the branch of a converging tee), and so may an equipment figure that
// stands for a gain; the issue refuses negative lengths, flows, loads and diameters only.
Numbers readNumbers(const SectionInput& in, std::vector<SectionError>& errors) {
    Numbers n;
    if (in.unreadable) {
        // Its fields are whatever the broken quoting left: no more to say about them.
        errors.push_back(error(ErrorKind::UnreadableRow));
        return n;
    }
    if (in.id.empty()) errors.push_back(error(ErrorKind::MissingId, Field::Id));
    n.L = field(in.L, Field::L, true, false, errors).value_or(0);
    n.G = field(in.G, Field::G, false, false, errors);
    n.Q = field(in.Q, Field::Q, false, false, errors);
    n.DN = field(in.DN, Field::DN, false, false, errors);
    n.d = field(in.d, Field::d, false, false, errors);
    n.zeta = field(in.zeta, Field::Zeta, false, true, errors).value_or(0);
    n.equip = field(in.equip, Field::Equip, false, true, errors).value_or(0);
    if (n.d && *n.d == 0) errors.push_back(error(ErrorKind::ZeroDiameter, Field::d));
    if (!n.d && n.DN && *n.DN == 0) errors.push_back(error(ErrorKind::ZeroDiameter, Field::DN));
    return n;
}

Friction friction(double G, double dMm, const Context& c) {
    Friction f;
    if (G == 0) {
        // No flow, no loss: the limit of R = 32·ν·ρ·v/d² of laminar flow.
        f.ok = true;
        return f;
    }
    if (c.settings.friction == FrictionModel::Screen) {
        // The screen works in 32 bits; a figure beyond them has no screen result.
        constexpr double Largest = std::numeric_limits<float>::max();
        if (!(dMm <= Largest && G <= Largest && c.K <= Largest)) return f;
        FrictionLossInput input;
        input.D = static_cast<float>(dMm);
        input.L = 1000.0f;  // mm: one metre, so the loss is R
        input.t = static_cast<float>(c.settings.t);
        input.G = static_cast<float>(G);
        input.K = static_cast<float>(c.K);
        const CalcOutcome<FrictionLossResult> outcome = computeFrictionLoss(input);
        if (!outcome.ok()) return f;
        f.v = outcome.value().V;
        f.Re = outcome.value().Re;
        f.lambda = outcome.value().lambda;
        f.R = outcome.value().Hf;
        f.ok = true;
        return f;
    }
    const double d = dMm / 1000.0;
    f.v = velocity(G, dMm);
    f.Re = f.v * d / c.nu;
    f.lambda = f.Re < LaminarReynolds ? 64.0 / f.Re : colebrookFactor(f.Re, c.K / dMm);
    f.R = f.lambda / d * (c.rho * f.v * f.v / 2.0);
    f.ok = finite(f.v) && finite(f.Re) && finite(f.lambda) && finite(f.R) && f.R >= 0;
    return f;
}

// Figures of one section whose flow is known; false when they are not finite.
bool computeSection(SectionResult& r, const Numbers& n, const Context& c) {
    const PipeSeries& series = c.series;
    const bool open = c.settings.open;
    const VelocityRange* range = nullptr;
    Friction f;
    if (n.d) {
        r.d = *n.d;
        if (n.DN && *n.DN == std::floor(*n.DN) && *n.DN <= 1e9) r.size = static_cast<int>(*n.DN);
        range = &c.catalog.velocityRange(open, r.d);
        f = friction(r.G, r.d, c);
    } else if (n.DN) {
        const auto row = std::find_if(series.rows.begin(), series.rows.end(),
                                      [&](const PipeRow& p) { return p.size == *n.DN; });
        if (row == series.rows.end()) {
            r.errors.push_back(error(ErrorKind::UnknownSize, Field::DN));
            return false;
        }
        r.size = row->size;
        r.d = row->inner;
        range = &c.catalog.velocityRange(open, series, *row);
        f = friction(r.G, r.d, c);
    } else {
        r.sizeAutomatic = true;
        const PipeRow* chosen = nullptr;
        for (const PipeRow& row : series.rows) {
            const VelocityRange& rowRange = c.catalog.velocityRange(open, series, row);
            // The velocity needs no friction factor; most sizes fail on it alone. The screen
            // rounds its velocity to 32 bits (a relative 1e-7 or so): only a clear excess is
            // decided before its own figure.
            const double slack = c.settings.friction == FrictionModel::Screen ? 1e-5 : 0.0;
            if (velocity(r.G, row.inner) > rowRange.upper * (1.0 + slack)) continue;
            const Friction rowFriction = friction(r.G, row.inner, c);
            if (!rowFriction.ok || rowFriction.v > rowRange.upper ||
                rowFriction.R > c.settings.rMax)
                continue;
            chosen = &row;
            range = &rowRange;
            f = rowFriction;
            break;
        }
        if (chosen == nullptr) {
            chosen = &series.rows.back();
            range = &c.catalog.velocityRange(open, series, *chosen);
            f = friction(r.G, chosen->inner, c);
            r.notes.push_back(NoteKind::NoSizeFits);
        }
        r.size = chosen->size;
        r.d = chosen->inner;
    }
    if (!f.ok) return false;
    r.v = f.v;
    r.Re = f.Re;
    r.lambda = f.lambda;
    r.R = f.R;
    r.Py = r.R * n.L;
    r.zeta = n.zeta;
    r.Pd = c.rho * r.v * r.v / 2.0;
    r.Pj = r.zeta * r.Pd;
    r.equip = n.equip * 1000.0;
    const double k = c.settings.returnDoubled ? 2.0 : 1.0;
    r.P = (r.Py + r.Pj) * k + r.equip;
    if (!finite(r.Py) || !finite(r.Pd) || !finite(r.Pj) || !finite(r.equip) || !finite(r.P))
        return false;
    if (r.v > range->upper) r.notes.push_back(NoteKind::VelocityHigh);
    if (r.R > c.settings.rMax) r.notes.push_back(NoteKind::RHigh);
    if (r.v < SlopeVelocity) r.notes.push_back(NoteKind::VelocityLow);
    if (r.Re > 0 && r.Re < LaminarReynolds) r.notes.push_back(NoteKind::Laminar);
    return true;
}

}  // namespace

double flowFromLoad(double Q, double rho, double dt) {
    return 3600.0 * Q / (SpecificHeat * rho * dt);
}

double colebrookFactor(double Re, double relativeRoughness) {
    const double a = relativeRoughness / 3.7;
    const double b = 2.51 / Re;
    // Swamee–Jain (1976) to start from within a few per cent; Newton's method on
    // f(x) = x + 2·log10(a + b·x), x = 1/√λ, then converges in three or four steps.
    const double start = std::log10(a + 5.74 / std::pow(Re, 0.9));
    double x = -2.0 * start;
    if (!(x > 0)) x = 1.0 / std::sqrt(0.02);
    double lambda = 1.0 / (x * x);
    for (int i = 0; i < 100; ++i) {
        const double inner = a + b * x;
        const double fx = x + 2.0 * std::log10(inner);
        const double slope = 1.0 + 2.0 * b / (inner * std::numbers::ln10);
        double next = x - fx / slope;
        // Past the fully rough limit (K/d > 3.7) there is no root; elsewhere Newton's method
        // stays positive, and the plain iteration takes over should it not.
        if (!(next > 0)) next = -2.0 * std::log10(inner);
        if (!(next > 0) || !finite(next)) return std::nan("");
        const double nextLambda = 1.0 / (next * next);
        const bool settled = std::abs(nextLambda - lambda) < 1e-12 * nextLambda;
        x = next;
        lambda = nextLambda;
        if (settled) return lambda;
    }
    return lambda;
}

SystemResult computeSystem(const std::vector<SectionInput>& sections,
                           const SystemSettings& settings, const PipeCatalog& catalog) {
    SystemResult out;
    const std::size_t n = sections.size();
    out.sections.resize(n);
    out.settingsError = checkSettings(settings, catalog);
    if (out.settingsError) {
        for (SectionResult& r : out.sections) r.errors.push_back(*out.settingsError);
        return out;
    }
    const PipeSeries& series = *catalog.find(settings.series);
    out.series = &series;
    out.rho = WaterProperties::density(static_cast<float>(settings.t));
    out.nu = WaterProperties::kinematicViscosity(static_cast<float>(settings.t));
    out.roughness = settings.roughness.value_or(series.defaultRoughness(settings.open));
    out.velocitySource =
        (settings.open ? catalog.openVelocity : catalog.closedVelocity).front().source;
    for (const Guidance& g : catalog.guidance)
        if (g.parameter == "并联环路压力损失相对差额") out.guidanceSource = g.source;
    const Context context{settings, catalog, series, out.rho, out.nu, out.roughness};

    std::vector<Numbers> numbers(n);
    for (std::size_t i = 0; i < n; ++i)
        numbers[i] = readNumbers(sections[i], out.sections[i].errors);

    // Ids: the first section carrying each, and which are carried twice or more.
    std::unordered_map<std::string_view, std::size_t> byId;
    byId.reserve(n);
    std::unordered_set<std::string_view> duplicated;
    for (std::size_t i = 0; i < n; ++i) {
        if (sections[i].id.empty()) continue;
        if (!byId.emplace(sections[i].id, i).second) duplicated.insert(sections[i].id);
    }
    for (std::size_t i = 0; i < n && !duplicated.empty(); ++i)
        if (duplicated.count(sections[i].id))
            out.sections[i].errors.push_back(
                error(ErrorKind::DuplicateId, Field::Id, {sections[i].id}));

    std::vector<int> parent(n, Plant);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& up = sections[i].up;
        if (up.empty()) continue;
        const auto it = byId.find(up);
        if (it == byId.end()) {
            parent[i] = Unresolved;
            out.sections[i].errors.push_back(error(ErrorKind::UnknownUpstream, Field::Up, {up}));
        } else if (!duplicated.empty() && duplicated.count(up)) {
            parent[i] = Unresolved;
            out.sections[i].errors.push_back(error(ErrorKind::UpstreamFailed, Field::Up, {up}));
        } else {
            parent[i] = static_cast<int>(it->second);
        }
    }

    // Children of each section, in input order, packed in one array.
    std::vector<std::size_t> childStart(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i)
        if (parent[i] >= 0) ++childStart[parent[i] + 1];
    for (std::size_t i = 0; i < n; ++i) childStart[i + 1] += childStart[i];
    std::vector<std::size_t> children(childStart[n]);
    {
        std::vector<std::size_t> fill(childStart.begin(), childStart.end() - 1);
        for (std::size_t i = 0; i < n; ++i)
            if (parent[i] >= 0) children[fill[parent[i]]++] = i;
    }
    auto childrenOf = [&](std::size_t i) {
        return std::span<const std::size_t>(children.data() + childStart[i],
                                            childStart[i + 1] - childStart[i]);
    };

    // Breadth first from the plant (and from the sections whose upstream is unresolved): every
    // section comes after its upstream one. What is not reached hangs on a loop.
    std::vector<std::size_t> order;
    order.reserve(n);
    std::vector<char> reached(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        if (parent[i] < 0) {
            order.push_back(i);
            reached[i] = 1;
        }
    for (std::size_t k = 0; k < order.size(); ++k)
        for (std::size_t c : childrenOf(order[k])) {
            order.push_back(c);
            reached[c] = 1;
        }
    const std::size_t treeSize = order.size();
    if (treeSize < n) {
        // Each section has one upstream link, so following the links from an unreached
        // section ends on a loop; each loop is found once.
        std::vector<char> state(n, 0);  // 1 on the current walk, 2 done
        std::vector<std::size_t> walk;
        for (std::size_t i = 0; i < n; ++i) {
            if (reached[i] || state[i]) continue;
            walk.clear();
            std::size_t at = i;
            while (state[at] == 0) {
                state[at] = 1;
                walk.push_back(at);
                at = static_cast<std::size_t>(parent[at]);
            }
            if (state[at] == 1) {
                const auto begin = std::find(walk.begin(), walk.end(), at);
                std::vector<std::size_t> loop(begin, walk.end());
                // Named from its first section in input order, then upstream.
                const auto first = std::min_element(loop.begin(), loop.end());
                std::rotate(loop.begin(), first, loop.end());
                SectionError named = error(ErrorKind::Loop, Field::Up);
                for (std::size_t k = 0; k < loop.size() && k < LoopIdsNamed; ++k)
                    named.ids.push_back(sections[loop[k]].id);
                named.more = loop.size() - named.ids.size();
                for (std::size_t m : loop) {
                    out.sections[m].errors.push_back(named);
                    order.push_back(m);
                    reached[m] = 1;
                }
            }
            for (std::size_t m : walk) state[m] = 2;
        }
        for (std::size_t k = treeSize; k < order.size(); ++k)
            for (std::size_t c : childrenOf(order[k]))
                if (!reached[c]) {
                    order.push_back(c);
                    reached[c] = 1;
                }
    }

    // Upward: flows (a summed flow waits for every section below), then each section's figures.
    for (std::size_t k = treeSize; k-- > 0;) {
        const std::size_t i = order[k];
        SectionResult& r = out.sections[i];
        if (!r.ok()) continue;
        const Numbers& num = numbers[i];
        if (num.G) {
            r.G = *num.G;
            r.flowSource = FlowSource::Typed;
        } else if (num.Q) {
            r.G = flowFromLoad(*num.Q, out.rho, settings.dt);
            r.flowSource = FlowSource::Load;
        } else if (childrenOf(i).empty()) {
            r.errors.push_back(error(ErrorKind::NoFlow, Field::G));
            continue;
        } else {
            std::vector<std::string> failed;
            double sum = 0;
            for (std::size_t c : childrenOf(i)) {
                if (!out.sections[c].ok())
                    failed.push_back(sections[c].id);
                else
                    sum += out.sections[c].G;
            }
            if (!failed.empty()) {
                r.errors.push_back(error(ErrorKind::FlowFromFailed, Field::G, std::move(failed)));
                continue;
            }
            r.G = sum;
            r.flowSource = FlowSource::Summed;
        }
        if (!finite(r.G) || !computeSection(r, num, context))
            if (r.errors.empty()) r.errors.push_back(error(ErrorKind::NotComputable));
    }

    // Downward: failures pass to every section below, losses add up from the plant.
    for (std::size_t i : order) {
        SectionResult& r = out.sections[i];
        const int p = parent[i];
        if (p >= 0 && !out.sections[p].ok() && r.ok())
            r.errors.push_back(error(ErrorKind::UpstreamFailed, Field::Up, {sections[p].id}));
        if (!r.ok()) continue;
        r.Pend = (p >= 0 ? out.sections[p].Pend : 0.0) + r.P;
        if (!finite(r.Pend)) r.errors.push_back(error(ErrorKind::NotComputable));
    }
    for (SectionResult& r : out.sections)
        if (!r.ok()) {
            std::vector<SectionError> errors = std::move(r.errors);
            r = SectionResult{};
            r.errors = std::move(errors);
        }

    // Largest end loss below each section, and whether all of it was computed.
    std::vector<double> deepest(n, 0);
    std::vector<char> whole(n, 0);
    for (std::size_t k = treeSize; k-- > 0;) {
        const std::size_t i = order[k];
        const SectionResult& r = out.sections[i];
        bool all = r.ok();
        double most = r.Pend;
        bool first = true;
        for (std::size_t c : childrenOf(i)) {
            all = all && whole[c];
            if (first || deepest[c] > most) most = deepest[c];
            first = false;
        }
        whole[i] = all;
        deepest[i] = most;
    }

    out.complete = true;
    std::vector<std::size_t> leaving;
    for (std::size_t i = 0; i < n; ++i) {
        const SectionResult& r = out.sections[i];
        if (!r.ok()) out.complete = false;
        if (parent[i] != Plant) continue;
        leaving.push_back(i);
        if (r.ok()) out.pumpFlow += r.G;
    }

    // The critical loop ends at the terminal with the largest loss from the plant; the first
    // in input order of equals.
    std::optional<std::size_t> end;
    for (std::size_t i = 0; i < n; ++i) {
        const SectionResult& r = out.sections[i];
        if (r.ok() && childrenOf(i).empty() && (!end || r.Pend > out.sections[*end].Pend)) end = i;
    }
    if (end) {
        out.criticalPa = out.sections[*end].Pend;
        for (int at = static_cast<int>(*end); at >= 0; at = parent[at]) {
            out.criticalIndices.push_back(static_cast<std::size_t>(at));
            out.sections[at].critical = true;
        }
        std::reverse(out.criticalIndices.begin(), out.criticalIndices.end());
        for (std::size_t i : out.criticalIndices) out.criticalPath.push_back(sections[i].id);
    }

    HeadSteps& h = out.head;
    h.safety = settings.safety;
    h.criticalPa = out.criticalPa;
    h.plantPa = settings.plantKPa * 1000.0;
    h.rho = out.rho;
    h.g = Gravity;
    h.liftM = settings.open ? settings.staticLift : 0.0;
    h.staticPa = h.rho * h.g * h.liftM;
    h.headPa = h.safety * (h.criticalPa + h.plantPa) + h.staticPa;
    out.headKPa = h.headPa / 1000.0;
    out.headM = h.headPa / (h.rho * h.g);

    // Parallel branches, at the plant and at each section with two or more below it; only
    // where everything below the branching point was computed.
    auto balance = [&](std::span<const std::size_t> branches, double startPa,
                       const std::string& point) {
        if (branches.size() < 2) return;
        double largest = 0;
        for (std::size_t b : branches) {
            if (!whole[b]) return;
            largest = std::max(largest, deepest[b] - startPa);
        }
        if (!(largest > 0)) return;
        for (std::size_t b : branches) {
            const double loss = deepest[b] - startPa;
            const double percent = (largest - loss) / largest * 100.0;
            if (!(percent > settings.balancePercent)) continue;
            UnbalancedBranch u;
            u.branchPoint = point;
            u.branchId = sections[b].id;
            u.branchLoss = loss;
            u.largestLoss = largest;
            u.percent = percent;
            u.extraPa = largest - loss;
            // Kv: m³/h through the valve at 1 bar (100 kPa) across it.
            u.kv = out.sections[b].G / std::sqrt(u.extraPa / 100000.0);
            out.unbalanced.push_back(std::move(u));
        }
    };
    balance(leaving, 0.0, std::string());
    for (std::size_t i = 0; i < n; ++i)
        if (out.sections[i].ok()) balance(childrenOf(i), out.sections[i].Pend, sections[i].id);
    return out;
}

}  // namespace hydraulics
