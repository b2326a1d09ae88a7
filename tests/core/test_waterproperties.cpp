#include <QTest>

#include "core/numbertext.h"
#include "core/waterproperties.h"

class TestWaterProperties : public QObject {
    Q_OBJECT
  private slots:
    void tableHoldsSixteenRowsInOrder();
    void density_data();
    void density();
    void tableAndQuadraticMeetAtZeroTenTwenty();
    void viscosity_data();
    void viscosity();
    void viscosityUnusableBetweenRoots_data();
    void viscosityUnusableBetweenRoots();
};

void TestWaterProperties::tableHoldsSixteenRowsInOrder() {
    const int temperatures[16] = {0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80, 90, 100};
    const double densities[16] = {999.87, 999.8,  999.73, 998.98, 998.23, 996.91, 995.6, 993.92,
                                  992.24, 990.12, 988.0,  983.24, 977.7,  971.83, 965.2, 958.4};
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(WaterDensityTable[i].temperature, temperatures[i]);
        QCOMPARE(WaterDensityTable[i].density, densities[i]);
        // Every tabulated temperature returns exactly its row.
        QCOMPARE(WaterProperties::density(static_cast<float>(temperatures[i])), densities[i]);
    }
}

// Off-table values compared within 0.005 kg/m³ (the published figures carry two decimals).
void TestWaterProperties::density_data() {
    QTest::addColumn<float>("t");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("45 from the table") << 45.0f << 990.12 << 0.0;
    QTest::newRow("45.0 typed is the table's 45")
        << numbertext::parseSingle("45.0").value.value() << 990.12 << 0.0;
    QTest::newRow("44.9 from the quadratic") << 44.9f << 988.587 << 0.005;
    QTest::newRow("45.5 from the quadratic") << 45.5f << 988.25 << 0.005;
    QTest::newRow("50.5 from the quadratic") << 50.5f << 985.26 << 0.005;
    QTest::newRow("7 from the quadratic") << 7.0f << 999.91 << 0.005;
    QTest::newRow("99 is 20 below the table's 100") << 99.0f << 938.57 << 0.005;
    QTest::newRow("120 extrapolated") << 120.0f << 908.43 << 0.005;
    QTest::newRow("-5 extrapolated") << -5.0f << 999.43 << 0.005;
    QTest::newRow("-10 extrapolated") << -10.0f << 998.65 << 0.005;
    QTest::newRow("100 from the table") << 100.0f << 958.4 << 0.0;
}

void TestWaterProperties::density() {
    QFETCH(float, t);
    QFETCH(double, expected);
    QFETCH(double, tolerance);
    const double rho = WaterProperties::density(t);
    if (tolerance == 0.0)
        QCOMPARE(rho, expected);
    else
        QVERIFY2(std::abs(rho - expected) <= tolerance, qPrintable(QString::number(rho, 'g', 10)));
}

void TestWaterProperties::tableAndQuadraticMeetAtZeroTenTwenty() {
    // Just off the table the quadratic takes over; at 0, 10 and 20 it passes through the rows.
    for (float t : {0.0f, 10.0f, 20.0f}) {
        const float beside = std::nextafter(t, 100.0f);
        QVERIFY(std::abs(WaterProperties::density(beside) - WaterProperties::density(t)) < 1e-3);
    }
    QVERIFY(WaterProperties::density(std::nextafter(50.0f, 100.0f)) < 986.0);
}

// Reference viscosities, compared on their 7-digit text.
void TestWaterProperties::viscosity_data() {
    QTest::addColumn<float>("t");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0.0f << "1.78E-06";
    QTest::newRow("10") << 10.0f << "1.309787E-06";
    QTest::newRow("20") << 20.0f << "1.010216E-06";
    QTest::newRow("45") << 45.0f << "6.009453E-07";
    QTest::newRow("50") << 50.0f << "5.502318E-07";
    QTest::newRow("100") << 100.0f << "2.709285E-07";
}

void TestWaterProperties::viscosity() {
    QFETCH(float, t);
    QFETCH(QString, text);
    const double nu = WaterProperties::kinematicViscosity(t);
    QCOMPARE(QString::fromStdString(numbertext::generalTextDigits(nu, 7)), text);
    if (t == 0.0f) QCOMPARE(nu, 1e-4 * 0.0178);
}

void TestWaterProperties::viscosityUnusableBetweenRoots_data() {
    QTest::addColumn<float>("t");
    QTest::addColumn<bool>("usable");
    QTest::newRow("-40 still usable") << -40.0f << true;
    QTest::newRow("-40.5 negative") << -40.5f << false;
    QTest::newRow("-80 negative") << -80.0f << false;
    QTest::newRow("-112.9 negative") << -112.9f << false;
    QTest::newRow("-113 usable again") << -113.0f << true;
}

void TestWaterProperties::viscosityUnusableBetweenRoots() {
    QFETCH(float, t);
    QFETCH(bool, usable);
    const double nu = WaterProperties::kinematicViscosity(t);
    QCOMPARE(std::isfinite(nu) && nu > 0.0, usable);
}

QTEST_APPLESS_MAIN(TestWaterProperties)
#include "test_waterproperties.moc"
