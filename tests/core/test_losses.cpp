#include <QTest>
#include <cfloat>

#include "core/frictionloss.h"
#include "core/localloss.h"
#include "core/numbertext.h"

namespace {
QString text(float value) { return QString::fromStdString(numbertext::generalText(value)); }
}  // namespace

Q_DECLARE_METATYPE(CalcFailure)

class TestLosses : public QObject {
    Q_OBJECT
  private slots:
    void defaultSectionShowsSevenDigits();
    void frictionWorkedExamples_data();
    void frictionWorkedExamples();
    void smoothPipeAndLowReynoldsUseTheSameFormula();
    void doublingLengthDoublesLossExactly();
    void negativeFlowWithPositiveRootSum();
    void frictionFailures_data();
    void frictionFailures();
    void localLoss_data();
    void localLoss();
    void localLossOverflows();
};

void TestLosses::defaultSectionShowsSevenDigits() {
    const CalcOutcome<FrictionLossResult> r = computeFrictionLoss({50, 1000, 45, 1, 0.2f});
    QVERIFY(r.ok());
    QCOMPARE(r.value().rho, 990.12f);
    QCOMPARE(text(r.value().V), QStringLiteral("0.1414711"));
    QCOMPARE(text(r.value().Hf), QStringLiteral("7.067252"));
    QVERIFY(std::abs(r.value().Re - 1.18e4f) < 0.01e4f);
    QVERIFY(std::abs(r.value().lambda - 0.036f) < 0.0005f);
}

// The published examples carry three decimals: compared within half a unit of the last one.
void TestLosses::frictionWorkedExamples_data() {
    QTest::addColumn<float>("D");
    QTest::addColumn<float>("L");
    QTest::addColumn<float>("t");
    QTest::addColumn<float>("G");
    QTest::addColumn<float>("K");
    QTest::addColumn<double>("rho");
    QTest::addColumn<double>("V");
    QTest::addColumn<double>("Hf");
    QTest::newRow("default, density from the table")
        << 50.0f << 1000.0f << 45.0f << 1.0f << 0.2f << 990.12 << 0.141 << 7.067;
    QTest::newRow("45.5 takes the quadratic")
        << 50.0f << 1000.0f << 45.5f << 1.0f << 0.2f << 988.249 << 0.141 << 7.045;
    QTest::newRow("smooth pipe") << 50.0f << 1000.0f << 45.0f << 1.0f << 0.0f << 990.12 << 0.141
                                 << 5.881;
    QTest::newRow("DN25 at 7 degrees")
        << 25.0f << 1000.0f << 7.0f << 1.0f << 0.2f << 999.915 << 0.566 << 260.291;
    QTest::newRow("DN100 at 20 degrees")
        << 100.0f << 1000.0f << 20.0f << 10.0f << 0.2f << 998.23 << 0.354 << 17.488;
}

void TestLosses::frictionWorkedExamples() {
    QFETCH(float, D);
    QFETCH(float, L);
    QFETCH(float, t);
    QFETCH(float, G);
    QFETCH(float, K);
    QFETCH(double, rho);
    QFETCH(double, V);
    QFETCH(double, Hf);
    const CalcOutcome<FrictionLossResult> r = computeFrictionLoss({D, L, t, G, K});
    QVERIFY(r.ok());
    QVERIFY2(std::abs(r.value().rho - rho) <= 0.0005, qPrintable(text(r.value().rho)));
    QVERIFY2(std::abs(r.value().V - V) <= 0.0005, qPrintable(text(r.value().V)));
    QVERIFY2(std::abs(r.value().Hf - Hf) <= 0.0005, qPrintable(text(r.value().Hf)));
}

void TestLosses::smoothPipeAndLowReynoldsUseTheSameFormula() {
    const CalcOutcome<FrictionLossResult> smooth = computeFrictionLoss({50, 1000, 45, 1, 0});
    QVERIFY(smooth.ok());
    const double expected = 0.0055 * (1 + std::cbrt(1000000.0 / smooth.value().Re));
    QCOMPARE(smooth.value().lambda, static_cast<float>(expected));

    // Re about 350: no laminar 64/Re (which would give about 0.18).
    const CalcOutcome<FrictionLossResult> slow = computeFrictionLoss({100, 1000, 20, 0.1f, 0.2f});
    QVERIFY(slow.ok());
    QVERIFY(std::abs(slow.value().Re - 350.0f) < 5.0f);
    QVERIFY(std::abs(slow.value().lambda - 0.084f) < 0.0005f);
}

void TestLosses::doublingLengthDoublesLossExactly() {
    const CalcOutcome<FrictionLossResult> one = computeFrictionLoss({50, 1000, 45, 1, 0.2f});
    const CalcOutcome<FrictionLossResult> two = computeFrictionLoss({50, 2000, 45, 1, 0.2f});
    QVERIFY(one.ok() && two.ok());
    QCOMPARE(two.value().Hf, 2 * one.value().Hf);
    QCOMPARE(text(two.value().Hf), QStringLiteral("14.1345"));
    QCOMPARE(two.value().V, one.value().V);
    QCOMPARE(two.value().Re, one.value().Re);
    QCOMPARE(two.value().lambda, one.value().lambda);
}

void TestLosses::negativeFlowWithPositiveRootSum() {
    // K/D large enough that the root sum stays positive: V negative, loss positive.
    const CalcOutcome<FrictionLossResult> r = computeFrictionLoss({50, 1000, 45, -1, 2});
    QVERIFY(r.ok());
    QVERIFY(r.value().V < 0);
    QVERIFY(r.value().Hf > 0);
}

void TestLosses::frictionFailures_data() {
    QTest::addColumn<float>("D");
    QTest::addColumn<float>("t");
    QTest::addColumn<float>("G");
    QTest::addColumn<CalcFailure>("failure");
    QTest::newRow("zero diameter") << 0.0f << 45.0f << 1.0f << CalcFailure::ZeroDiameter;
    QTest::newRow("zero flow") << 50.0f << 45.0f << 0.0f << CalcFailure::ZeroReynolds;
    QTest::newRow("flow too small for 32 bits gives Re 0")
        << 50.0f << 45.0f << 1e-45f << CalcFailure::ZeroReynolds;
    QTest::newRow("negative flow, default section")
        << 50.0f << 45.0f << -1.0f << CalcFailure::NegativeRoot;
    QTest::newRow("viscosity negative at -60") << 50.0f << -60.0f << 1.0f << CalcFailure::Viscosity;
    QTest::newRow("velocity beyond 32 bits") << 1e-20f << 45.0f << 1e30f << CalcFailure::Overflow;
    QTest::newRow("density beyond 32 bits") << 50.0f << 1e30f << 1.0f << CalcFailure::Overflow;
    QTest::newRow("infinite input")
        << 50.0f << 45.0f << std::numeric_limits<float>::infinity() << CalcFailure::Overflow;
    QTest::newRow("NaN input") << std::numeric_limits<float>::quiet_NaN() << 45.0f << 1.0f
                               << CalcFailure::Overflow;
}

void TestLosses::frictionFailures() {
    QFETCH(float, D);
    QFETCH(float, t);
    QFETCH(float, G);
    QFETCH(CalcFailure, failure);
    const CalcOutcome<FrictionLossResult> r = computeFrictionLoss({D, 1000, t, G, 0.2f});
    QVERIFY(!r.ok());
    QCOMPARE(r.failure(), failure);
}

void TestLosses::localLoss_data() {
    QTest::addColumn<float>("zeta");
    QTest::addColumn<float>("v");
    QTest::addColumn<float>("t");
    QTest::addColumn<QString>("text");
    QTest::newRow("defaults, table density at 50") << 1.0f << 1.2f << 50.0f << "711.36";
    QTest::newRow("negative velocity squares away") << 1.0f << -1.2f << 50.0f << "711.36";
    QTest::newRow("37.5 off the table") << 1.0f << 1.2f << 37.5f << "714.4794";
    QTest::newRow("zero coefficient") << 0.0f << 1.2f << 50.0f << "0";
    QTest::newRow("last table row") << 2.5f << 2.0f << 100.0f << "4792";
    QTest::newRow("5 degrees from the table, not the quadratic") << 2.0f << 1.0f << 5.0f << "999.8";
    QTest::newRow("120 extrapolated") << 1.0f << 1.0f << 120.0f << "454.215";
    QTest::newRow("-10 extrapolated") << 2.0f << 1.0f << -10.0f << "998.65";
    QTest::newRow("negative coefficient") << -1.0f << 1.0f << 100.0f << "-479.2";
}

void TestLosses::localLoss() {
    QFETCH(float, zeta);
    QFETCH(float, v);
    QFETCH(float, t);
    QFETCH(QString, text);
    const CalcOutcome<float> r = computeLocalLoss({zeta, v, t});
    QVERIFY(r.ok());
    QCOMPARE(::text(r.value()), text);
}

void TestLosses::localLossOverflows() {
    const CalcOutcome<float> big = computeLocalLoss({1.0f, 3e38f, 50.0f});
    QVERIFY(!big.ok());
    QCOMPARE(big.failure(), CalcFailure::Overflow);
    QVERIFY(!computeLocalLoss({FLT_MAX, 1e3f, 50.0f}).ok());
    QVERIFY(computeLocalLoss({1.0f, 1e17f, 50.0f}).ok());
}

QTEST_APPLESS_MAIN(TestLosses)
#include "test_losses.moc"
