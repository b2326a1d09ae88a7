#include <QTest>
#include <cmath>

#include "core/frictionloss.h"
#include "hydraulics/pipecatalog.h"
#include "hydraulics/systemtexts.h"
#include "hydraulics/watersystem.h"

using namespace hydraulics;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::vector<SectionInput>)
Q_DECLARE_METATYPE(SystemSettings)
Q_DECLARE_METATYPE(Field)

namespace {

SectionInput section(std::string id, std::string up, std::string L, std::string G,
                     std::string DN = {}, std::string d = {}) {
    SectionInput s;
    s.id = std::move(id);
    s.up = std::move(up);
    s.L = std::move(L);
    s.G = std::move(G);
    s.DN = std::move(DN);
    s.d = std::move(d);
    return s;
}

QString codes(const SystemResult& result) {
    QStringList rows;
    for (const SectionResult& r : result.sections) {
        QStringList errors;
        for (const SectionError& e : r.errors) errors << QString::fromStdString(errorCode(e));
        rows << errors.join(';');
    }
    return rows.join('|');
}

}  // namespace

class TestWaterSystem : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { catalog_ = shippedCatalog(); }
    void colebrook_data();
    void colebrook();
    void parseNumberField_data();
    void parseNumberField();
    void catalogRowsAreConsistent();
    void brokenTreesFailOnlyWhatHangsOnThem_data();
    void brokenTreesFailOnlyWhatHangsOnThem();
    void loopNamesItsSectionsFromTheFirst();
    void flowSummedFromFailedSectionNamesIt();
    void settingsOutOfRangeFailEverySection_data();
    void settingsOutOfRangeFailEverySection();
    void deepChainNeedsNoStack();
    void sizingTakesTheSmallestWithinBothLimits();
    void noSizeFitsTakesTheLargest();
    void zeroFlowHasNoLoss();
    void screenModelIsTheFrictionScreen();
    void plasticPipeVelocityRangeByBore();
    void balanceAtPlantAndBranches();
    void fittingsSum();

  private:
    PipeCatalog catalog_;
};

// Reference values of the Colebrook equation from its explicit solution by the Lambert W
// function (fluids.friction.Colebrook 1.0.22), to the 1e-12 the iteration is held to.
void TestWaterSystem::colebrook_data() {
    QTest::addColumn<double>("Re");
    QTest::addColumn<double>("eD");
    QTest::addColumn<double>("lambda");
    QTest::newRow("Moody's example Re 1e5, e/D 1e-4") << 1e5 << 1e-4 << 0.018513866077471648;
    QTest::newRow("smooth pipe") << 1e5 << 0.0 << 0.01798977308427384;
    QTest::newRow("just turbulent, rough") << 2300.0 << 0.05 << 0.08065742365639977;
    QTest::newRow("fully rough") << 1e8 << 0.01 << 0.03790432338735433;
}

void TestWaterSystem::colebrook() {
    QFETCH(double, Re);
    QFETCH(double, eD);
    QFETCH(double, lambda);
    const double got = colebrookFactor(Re, eD);
    QVERIFY2(std::abs(got - lambda) <= 1e-12 * lambda, qPrintable(QString::number(got, 'g', 17)));
    // The root satisfies the equation it solves.
    const double residual =
        1.0 / std::sqrt(got) + 2.0 * std::log10(eD / 3.7 + 2.51 / (Re * std::sqrt(got)));
    QVERIFY(std::abs(residual) < 1e-10);
}

void TestWaterSystem::parseNumberField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<double>>("expected");
    const std::optional<double> none;
    QTest::newRow("plain") << "12.5" << std::optional<double>(12.5);
    QTest::newRow("blanks around") << " \t3 " << std::optional<double>(3);
    QTest::newRow("leading point, plus") << "+.5" << std::optional<double>(0.5);
    QTest::newRow("exponent") << "1e3" << std::optional<double>(1000);
    QTest::newRow("underflow is zero") << "1e-400" << std::optional<double>(0);
    QTest::newRow("overflow") << "1e400" << none;
    QTest::newRow("nan") << "nan" << none;
    QTest::newRow("inf") << "inf" << none;
    QTest::newRow("hex") << "0x10" << none;
    QTest::newRow("full-width digits") << "１２" << none;
    QTest::newRow("trailing word") << "12m" << none;
    QTest::newRow("comma decimal") << "1,5" << none;
    QTest::newRow("lone point") << "." << none;
    QTest::newRow("exponent without digits") << "1e" << none;
    QTest::newRow("empty") << "" << none;
}

void TestWaterSystem::parseNumberField() {
    QFETCH(QString, text);
    QFETCH(std::optional<double>, expected);
    QCOMPARE(hydraulics::parseNumberField(text.toStdString()), expected);
}

// The nominal bore is outer − 2·wall in every shipped row, and sizes grow with the bore: a
// mistyped figure in a table would put a pipe out of order and size sections wrongly.
void TestWaterSystem::catalogRowsAreConsistent() {
    QCOMPARE(catalog_.series.front().name, std::string(DefaultSeriesName));
    for (const PipeSeries& s : catalog_.series) {
        QVERIFY2(s.rows.size() >= 5, s.name.c_str());
        QVERIFY(!s.source.empty() && !s.roughnessSource.empty() && !s.title.empty());
        for (std::size_t i = 0; i < s.rows.size(); ++i) {
            const PipeRow& row = s.rows[i];
            QVERIFY2(std::abs(row.outer - 2 * row.wall - row.inner) < 0.051, s.name.c_str());
            if (i > 0) QVERIFY2(row.size > s.rows[i - 1].size, s.name.c_str());
        }
    }
    // The default series: welded to DN150, seamless from DN200, as the data says.
    const PipeSeries& steel = *catalog_.find(DefaultSeriesName);
    QCOMPARE(steel.rows.front().size, 15);
    QCOMPARE(steel.rows.back().size, 400);
    for (const PipeRow& row : steel.rows)
        QVERIFY((row.size <= 150) == (row.standard.find("3091") != std::string::npos));
    for (const auto* table : {&catalog_.closedVelocity, &catalog_.openVelocity})
        for (const VelocityRange& range : *table) QVERIFY(range.lower < range.upper);
}

void TestWaterSystem::brokenTreesFailOnlyWhatHangsOnThem_data() {
    QTest::addColumn<std::vector<SectionInput>>("sections");
    QTest::addColumn<QString>("expected");
    QTest::newRow("healthy") << std::vector{section("a", "", "10", ""), section("b", "a", "5", "2")}
                             << "|";
    QTest::newRow("failed terminal fails the summed section and its sibling")
        << std::vector{section("a", "", "10", ""), section("b", "a", "x", "2"),
                       section("c", "a", "5", "1"), section("z", "", "1", "1")}
        << "flow-from-failed|not-number-L|up-failed|";
    QTest::newRow("typed flow stands, failure passes down only")
        << std::vector{section("a", "", "10", "3"), section("b", "a", "-1", "2"),
                       section("c", "b", "1", "1")}
        << "|negative-L|up-failed";
    QTest::newRow("duplicate id: both and what hangs on them")
        << std::vector{section("a", "", "1", "1"), section("a", "", "1", "1"),
                       section("b", "a", "1", "1")}
        << "duplicate-id|duplicate-id|up-failed";
    QTest::newRow("self loop, and below it")
        << std::vector{section("a", "a", "1", "1"), section("b", "a", "1", "1")}
        << "loop|up-failed";
    QTest::newRow("unknown upstream and unknown DN")
        << std::vector{section("a", "zz", "1", "1"), section("b", "", "1", "1", "33")}
        << "unknown-up|unknown-DN";
    QTest::newRow("terminal without flow; zero diameters")
        << std::vector{section("a", "", "1", ""), section("b", "", "1", "1", "", "0"),
                       section("c", "", "1", "1", "0")}
        << "no-flow|zero-d|zero-DN";
    QTest::newRow("figures beyond a double")
        << std::vector{section("a", "", "1e300", "1e300"), section("b", "", "1", "1")}
        << "not-computable|";
}

void TestWaterSystem::brokenTreesFailOnlyWhatHangsOnThem() {
    QFETCH(std::vector<SectionInput>, sections);
    QFETCH(QString, expected);
    const SystemResult result = computeSystem(sections, SystemSettings{}, catalog_);
    QCOMPARE(codes(result), expected);
    for (const SectionResult& r : result.sections) {
        if (r.ok()) continue;
        // A failed section carries no figure that could be mistaken for a result.
        QCOMPARE(r.P, 0.0);
        QCOMPARE(r.Pend, 0.0);
        QVERIFY(!r.size && !r.critical);
    }
}

void TestWaterSystem::loopNamesItsSectionsFromTheFirst() {
    const std::vector sections{section("x", "", "1", "1"), section("c", "b", "1", "1"),
                               section("a", "c", "1", "1"), section("b", "a", "1", "1"),
                               section("d", "a", "1", "1")};
    const SystemResult result = computeSystem(sections, SystemSettings{}, catalog_);
    const std::vector<std::string> loop{"c", "b", "a"};
    for (std::size_t i : {1, 2, 3}) QCOMPARE(result.sections[i].errors.at(0).ids, loop);
    QCOMPARE(errorText(result.sections[1].errors[0]),
             std::string("管段“c”、“b”、“a”的上游首尾相连成环"));
    QCOMPARE(result.sections[4].errors.at(0).kind, ErrorKind::UpstreamFailed);
    QVERIFY(result.sections[0].ok());
    QVERIFY(!result.complete);
}

void TestWaterSystem::flowSummedFromFailedSectionNamesIt() {
    const std::vector sections{section("m", "", "1", ""), section("t1", "m", "1", "1"),
                               section("t2", "m", "bad", "1"), section("t3", "m", "", "1")};
    const SystemResult result = computeSystem(sections, SystemSettings{}, catalog_);
    const SectionError& e = result.sections[0].errors.at(0);
    QCOMPARE(e.kind, ErrorKind::FlowFromFailed);
    QCOMPARE(e.ids, (std::vector<std::string>{"t2", "t3"}));
}

void TestWaterSystem::settingsOutOfRangeFailEverySection_data() {
    QTest::addColumn<SystemSettings>("settings");
    QTest::addColumn<Field>("field");
    SystemSettings s;
    s.t = 100.5;
    QTest::newRow("t above the water tables") << s << Field::Temperature;
    s = {};
    s.t = std::nan("");
    QTest::newRow("t not a number") << s << Field::Temperature;
    s = {};
    s.dt = 0;
    QTest::newRow("no temperature difference") << s << Field::DeltaT;
    s = {};
    s.series = "cast-iron";
    QTest::newRow("unknown series") << s << Field::Series;
    s = {};
    s.roughness = -0.1;
    QTest::newRow("negative roughness") << s << Field::Roughness;
    s = {};
    s.safety = INFINITY;
    QTest::newRow("infinite safety factor") << s << Field::Safety;
}

void TestWaterSystem::settingsOutOfRangeFailEverySection() {
    QFETCH(SystemSettings, settings);
    QFETCH(Field, field);
    const std::vector sections{section("a", "", "1", "1"), section("b", "a", "1", "1")};
    const SystemResult result = computeSystem(sections, settings, catalog_);
    QVERIFY(result.settingsError);
    QCOMPARE(result.settingsError->field, field);
    for (const SectionResult& r : result.sections) {
        QCOMPARE(r.errors.size(), std::size_t(1));
        QCOMPARE(r.errors[0].kind, ErrorKind::BadSetting);
    }
    QVERIFY(result.criticalPath.empty());
    QCOMPARE(result.headKPa, 0.0);
}

// Recursion over 100,000 sections would overflow the stack; and the loss adds up exactly.
void TestWaterSystem::deepChainNeedsNoStack() {
    const int n = 100000;
    std::vector<SectionInput> sections;
    sections.reserve(n);
    for (int i = 0; i < n; ++i)
        sections.push_back(section("s" + std::to_string(i), i ? "s" + std::to_string(i - 1) : "",
                                   "2", i + 1 == n ? "3" : "", "40"));
    const SystemResult result = computeSystem(sections, SystemSettings{}, catalog_);
    QVERIFY(result.complete);
    QCOMPARE(result.criticalPath.size(), std::size_t(n));
    QCOMPARE(result.sections[0].G, 3.0);
    QVERIFY(std::abs(result.criticalPa - n * result.sections[0].P) <= 1e-9 * result.criticalPa);

    // Closed into one loop: every section fails, and each names the loop without carrying
    // all of it (which would be quadratic).
    sections[0].up = sections[n - 1].id;
    const SystemResult loop = computeSystem(sections, SystemSettings{}, catalog_);
    for (const SectionResult& r : loop.sections) {
        QCOMPARE(r.errors.at(0).kind, ErrorKind::Loop);
        QCOMPARE(r.errors[0].ids.size() + r.errors[0].more, std::size_t(n));
    }
    QVERIFY(errorText(loop.sections[5].errors[0]).find("等共100000段") != std::string::npos);
}

void TestWaterSystem::sizingTakesTheSmallestWithinBothLimits() {
    const PipeSeries& steel = *catalog_.find(DefaultSeriesName);
    for (const double G : {0.5, 3.0, 20.0, 150.0, 900.0}) {
        for (const bool open : {false, true}) {
            SystemSettings settings;
            settings.open = open;
            const SystemResult result =
                computeSystem({section("a", "", "1", std::to_string(G))}, settings, catalog_);
            const SectionResult& r = result.sections.at(0);
            QVERIFY(r.ok() && r.sizeAutomatic && r.size);
            const auto at = std::find_if(steel.rows.begin(), steel.rows.end(),
                                         [&](const PipeRow& row) { return row.size == *r.size; });
            QVERIFY(r.R <= settings.rMax);
            QVERIFY(r.v <= catalog_.velocityRange(open, steel, *at).upper);
            if (at == steel.rows.begin()) continue;
            // The next size down breaks one of the limits.
            SectionInput smaller =
                section("a", "", "1", std::to_string(G), std::to_string(std::prev(at)->size));
            const SectionResult& s = computeSystem({smaller}, settings, catalog_).sections.at(0);
            QVERIFY(s.R > settings.rMax ||
                    s.v > catalog_.velocityRange(open, steel, *std::prev(at)).upper);
        }
    }
}

void TestWaterSystem::noSizeFitsTakesTheLargest() {
    const SectionResult r =
        computeSystem({section("a", "", "1", "5000")}, SystemSettings{}, catalog_).sections.at(0);
    QVERIFY(r.ok());
    QCOMPARE(*r.size, 400);
    QVERIFY(std::find(r.notes.begin(), r.notes.end(), NoteKind::NoSizeFits) != r.notes.end());
}

void TestWaterSystem::zeroFlowHasNoLoss() {
    for (const FrictionModel model : {FrictionModel::Colebrook, FrictionModel::Screen}) {
        SystemSettings settings;
        settings.friction = model;
        SectionInput s = section("a", "", "10", "0");
        s.zeta = "5";
        s.equip = "2";
        const SectionResult r = computeSystem({s}, settings, catalog_).sections.at(0);
        QVERIFY(r.ok());
        QCOMPARE(r.R, 0.0);
        QCOMPARE(r.P, 2000.0);
        QCOMPARE(r.notes, std::vector<NoteKind>{NoteKind::VelocityLow});
    }
}

void TestWaterSystem::screenModelIsTheFrictionScreen() {
    SystemSettings settings;
    settings.friction = FrictionModel::Screen;
    settings.t = 45;
    settings.roughness = 0.2;
    const SectionResult r =
        computeSystem({section("a", "", "7", "1", "", "50")}, settings, catalog_).sections.at(0);
    const FrictionLossResult screen = computeFrictionLoss({50, 1000, 45, 1, 0.2f}).value();
    QCOMPARE(r.R, double(screen.Hf));
    QCOMPARE(r.v, double(screen.V));
    QCOMPARE(r.Py, double(screen.Hf) * 7);
}

// PP-R is named by its outer diameter: dn 20 has a 16.2 mm bore, in the DN15 velocity range.
void TestWaterSystem::plasticPipeVelocityRangeByBore() {
    const PipeSeries& ppr = *catalog_.find("ppr-S5");
    QCOMPARE(ppr.rows.front().size, 20);
    QCOMPARE(catalog_.velocityRange(false, ppr, ppr.rows.front()).dn, 15);
    SystemSettings settings;
    settings.series = "ppr-S5";
    const SectionResult r =
        computeSystem({section("a", "", "1", "0.3", "20")}, settings, catalog_).sections.at(0);
    QVERIFY(r.ok());
    QCOMPARE(r.d, ppr.rows.front().inner);
}

void TestWaterSystem::balanceAtPlantAndBranches() {
    SectionInput near = section("near", "m", "1", "1", "25");
    SectionInput far = section("far", "m", "1", "1", "25");
    far.equip = "10";
    SectionInput other = section("other", "", "1", "2", "25");
    const std::vector sections{section("m", "", "1", "", "32"), near, far, other};
    SystemSettings settings;
    settings.safety = 1.0;
    const SystemResult result = computeSystem(sections, settings, catalog_);
    QCOMPARE(result.criticalPath, (std::vector<std::string>{"m", "far"}));
    QCOMPARE(result.pumpFlow, 4.0);
    QCOMPARE(result.headKPa, result.criticalPa / 1000);
    QCOMPARE(result.unbalanced.size(), std::size_t(2));
    const UnbalancedBranch& atPlant = result.unbalanced[0];
    QCOMPARE(atPlant.branchPoint, std::string());
    QCOMPARE(atPlant.branchId, std::string("other"));
    const UnbalancedBranch& atM = result.unbalanced[1];
    QCOMPARE(atM.branchPoint, std::string("m"));
    QCOMPARE(atM.branchId, std::string("near"));
    // far differs from near by its 10 kPa of equipment alone.
    QVERIFY(std::abs(atM.extraPa - 10000) < 1e-6);
    QVERIFY(std::abs(atM.kv - 1.0 / std::sqrt(0.1)) < 1e-9);
}

void TestWaterSystem::fittingsSum() {
    QCOMPARE(fittingsZetaText({{"弯头", 3, "0.3"}, {"闸阀", 2, "0.08"}}),
             std::optional<std::string>("1.06"));
    QCOMPARE(fittingsZetaText({}), std::optional<std::string>("0"));
    QCOMPARE(fittingsZetaText({{"弯头", 1, "abc"}}), std::nullopt);
    QCOMPARE(fittingsZetaText({{"弯头", -1, "1"}}), std::nullopt);
}

QTEST_GUILESS_MAIN(TestWaterSystem)
#include "test_watersystem.moc"
