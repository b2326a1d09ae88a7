#include <QTest>
#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string_view>
#include <utility>

#include "core/numbertext.h"

using numbertext::ParseError;

class TestNumberText : public QObject {
    Q_OBJECT
  private slots:
    void generalSingle_data();
    void generalSingle();
    void generalDouble_data();
    void generalDouble();
    void generalMatchesPrintf();
    void fixed_data();
    void fixed();
    void leading_data();
    void leading();
    void parse_data();
    void parse();
    void parseRoundsCorrectly();
    void commaLocaleChangesNothing();
};

void TestNumberText::generalSingle_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("velocity keeps its leading zero") << 0.14147106f << "0.1414711";
    QTest::newRow("loss") << 7.0672517f << "7.067252";
    QTest::newRow("no trailing zeros") << 711.36f << "711.36";
    QTest::newRow("whole number") << 4792.0f << "4792";
    QTest::newRow("small, still plain") << 0.005238097f << "0.005238097";
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("negative zero") << -0.0f << "0";
    QTest::newRow("negative") << -0.005238097f << "-0.005238097";
    QTest::newRow("rounding carries into a new digit") << 9.9999996f << "10";
    QTest::newRow("carry across the exponent switch") << 9999999.6f << "1E+07";
    QTest::newRow("largest plain") << 9999999.0f << "9999999";
    QTest::newRow("exponent at 1E+07") << 12345678.0f << "1.234568E+07";
    QTest::newRow("exponent below 1E-04") << 6.009453e-07f << "6.009453E-07";
    QTest::newRow("mantissa without point") << 5e-05f << "5E-05";
    QTest::newRow("1E-04 stays plain") << 0.0001f << "0.0001";
    QTest::newRow("negative exponent form") << -1.5e-05f << "-1.5E-05";
    QTest::newRow("largest single") << FLT_MAX << "3.402823E+38";
    QTest::newRow("smallest subnormal") << 1.4e-45f << "1.401298E-45";
    // Above 2^22 every other single ends in .5: an exact half goes to the even digit, as in
    // every correctly rounded binary-to-decimal conversion.
    QTest::newRow("exact half rounds down to even") << 4194304.5f << "4194304";
    QTest::newRow("exact half rounds up to even") << 4194305.5f << "4194306";
    QTest::newRow("negative exact half") << -4194304.5f << "-4194304";
    // 2^-11 and 15·2^-9 end in a 5 just after the seventh digit.
    QTest::newRow("half after an even seventh digit") << 0.00048828125f << "0.0004882812";
    QTest::newRow("half after an odd seventh digit") << 0.0029296875f << "0.002929688";
}

void TestNumberText::generalSingle() {
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(numbertext::generalText(value)), text);
}

void TestNumberText::generalDouble_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("sum of two tenths") << 0.1 + 0.2 << "0.3";
    QTest::newRow("fifteen digits plain") << 123456789012345.0 << "123456789012345";
    QTest::newRow("exponent at 1E+15") << 1e15 << "1E+15";
    QTest::newRow("carry into the exponent") << 999999999999999.9 << "1E+15";
    QTest::newRow("small") << 0.00012345 << "0.00012345";
    QTest::newRow("below 1E-04") << 1.25e-05 << "1.25E-05";
    QTest::newRow("three-digit exponent") << 1e100 << "1E+100";
    QTest::newRow("negative") << -7.067 << "-7.067";
    QTest::newRow("zero") << 0.0 << "0";
}

void TestNumberText::generalDouble() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(numbertext::generalText(value)), text);
}

// glibc's printf rounds exactly, halves to even, and its %G has the same plain and exponent
// forms; it shares no code with ours. Random bit patterns reach every binade, and a log-uniform
// spread covers the magnitudes of the results digit by digit.
void TestNumberText::generalMatchesPrintf() {
    std::mt19937_64 random(20240601);
    std::uniform_real_distribution<double> decades(-30, 25);
    char expected[64];
    char got[numbertext::MaxGeneralTextLength];
    for (int i = 0; i < 400000; ++i) {
        const float single = i % 2 ? std::bit_cast<float>(static_cast<std::uint32_t>(random()))
                                   : static_cast<float>(std::pow(10.0, decades(random)));
        const double wide = i % 2 ? std::bit_cast<double>(random())
                                  : std::pow(10.0, decades(random)) * (i % 4 ? 1 : -1);
        const int digits = 1 + i % 17;
        for (const auto& [value, precision] : {std::pair{double{single}, 7}, {wide, digits}}) {
            if (!std::isfinite(value) || value == 0) continue;
            std::snprintf(expected, sizeof expected, "%.*G", precision, value);
            const char* end = precision == 7 && value == single
                                  ? numbertext::writeGeneralText(got, single)
                                  : numbertext::writeGeneralTextDigits(got, value, precision);
            const std::string_view text(got, static_cast<std::size_t>(end - got));
            if (text != expected)
                QFAIL(
                    qPrintable(QStringLiteral("%1 to %2 digits: %3, printf %4")
                                   .arg(value, 0, 'a')
                                   .arg(precision)
                                   .arg(QString::fromLatin1(text.data(), text.size()), expected)));
        }
    }
}

void TestNumberText::fixed_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("half in decimal, not binary") << "1.005" << 2 << "1.01";
    QTest::newRow("2.675 rounds up") << "2.675" << 2 << "2.68";
    QTest::newRow("rounds down") << "1.414" << 2 << "1.41";
    QTest::newRow("whole number gains decimals") << "12" << 3 << "12.000";
    QTest::newRow("three decimals of the loss") << "7.067252" << 3 << "7.067";
    QTest::newRow("carry into a new digit") << "99.9996" << 3 << "100.000";
    QTest::newRow("9.995") << "9.995" << 2 << "10.00";
    QTest::newRow("negative half away from zero") << "-0.005" << 2 << "-0.01";
    QTest::newRow("never minus zero") << "-0.004" << 2 << "0.00";
    QTest::newRow("minus zero itself") << "-0" << 3 << "0.000";
    QTest::newRow("leading point") << ".5" << 2 << "0.50";
    QTest::newRow("trailing point") << "5." << 2 << "5.00";
    QTest::newRow("plus sign") << "+5" << 2 << "5.00";
    QTest::newRow("blanks around") << "  3.14159 " << 3 << "3.142";
    QTest::newRow("exponent") << "1.5E-03" << 3 << "0.002";
    QTest::newRow("exponent form of a general text") << "6.009453E-07" << 3 << "0.000";
    QTest::newRow("large exponent") << "1.234568E+07" << 2 << "12345680.00";
    QTest::newRow("rounding digit just past the kept ones") << "0.0005" << 3 << "0.001";
    QTest::newRow("far below the last decimal") << "1e-300" << 2 << "0.00";
    QTest::newRow("no thousands separators") << "1234567.891" << 2 << "1234567.89";
    QTest::newRow("letters unchanged") << "abc" << 2 << "abc";
    QTest::newRow("unit after the number unchanged") << "12.5Pa" << 3 << "12.5Pa";
    QTest::newRow("two points unchanged") << "1.2.3" << 2 << "1.2.3";
    QTest::newRow("empty unchanged") << "" << 2 << "";
    QTest::newRow("point alone unchanged") << "." << 2 << ".";
    QTest::newRow("comma unchanged") << "1,5" << 2 << "1,5";
    QTest::newRow("beyond 64 bits unchanged") << "1e400" << 2 << "1e400";
    QTest::newRow("zero with an exponent past 64 bits") << "0e309" << 2 << "0.00";
    QTest::newRow("zero with a larger exponent") << "0e400" << 2 << "0.00";
    QTest::newRow("minus zero with a larger exponent") << "-0e500" << 3 << "0.000";
    QTest::newRow("zero digits around the point, saturated exponent")
        << " 000.000e99999999999999999999 " << 2 << "0.00";
    QTest::newRow("largest power of ten in range") << "1e308" << 0 << ("1" + QString(308, '0'));
    QTest::newRow("first power of ten beyond") << "10e308" << 2 << "10e308";
}

void TestNumberText::fixed() {
    QFETCH(QString, input);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(numbertext::fixedText(input.toStdString(), decimals)), text);
}

void TestNumberText::leading_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("value");
    QTest::newRow("unit after the number") << "12.5Pa" << 12.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("blanks then sign") << "   -3.25 kPa" << -3.25;
    QTest::newRow("exponent") << "1.5E+03x" << 1500.0;
    QTest::newRow("letter e without digits") << "2e" << 2.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("fixed text of a loss") << "7.067" << 7.067;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("underflow is zero") << "1e-999" << 0.0;
}

void TestNumberText::leading() {
    QFETCH(QString, input);
    QFETCH(double, value);
    QCOMPARE(numbertext::leadingNumber(input.toStdString()), value);
}

void TestNumberText::parse_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("error");
    const int nan = static_cast<int>(ParseError::NotANumber);
    const int range = static_cast<int>(ParseError::OutOfRange);
    QTest::newRow("plain") << "50" << true << 50.0f << 0;
    QTest::newRow("leading point") << ".5" << true << 0.5f << 0;
    QTest::newRow("trailing point") << "5." << true << 5.0f << 0;
    QTest::newRow("plus sign") << "+5" << true << 5.0f << 0;
    QTest::newRow("exponent") << "1e3" << true << 1000.0f << 0;
    QTest::newRow("blanks around") << "  45 " << true << 45.0f << 0;
    QTest::newRow("negative") << "-1" << true << -1.0f << 0;
    QTest::newRow("too small is zero") << "1e-60" << true << 0.0f << 0;
    QTest::newRow("subnormal kept") << "1e-40" << true << 1e-40f << 0;
    QTest::newRow("rounds up to the smallest subnormal") << "8e-46" << true << 1.4e-45f << 0;
    QTest::newRow("below half the smallest subnormal") << "7e-46" << true << 0.0f << 0;
    QTest::newRow("largest single") << "3.4028235e38" << true << FLT_MAX << 0;
    QTest::newRow("inf") << "inf" << false << 0.0f << nan;
    QTest::newRow("nan") << "nan" << false << 0.0f << nan;
    QTest::newRow("decimal comma") << "1,5" << false << 0.0f << nan;
    QTest::newRow("two points") << "1.2.3" << false << 0.0f << nan;
    QTest::newRow("blanks only") << "   " << false << 0.0f << nan;
    QTest::newRow("empty") << "" << false << 0.0f << nan;
    QTest::newRow("letters") << "abc" << false << 0.0f << nan;
    QTest::newRow("unit after the number") << "12mm" << false << 0.0f << nan;
    QTest::newRow("dangling exponent") << "1e" << false << 0.0f << nan;
    QTest::newRow("hex") << "0x10" << false << 0.0f << nan;
    QTest::newRow("blank inside") << "1 5" << false << 0.0f << nan;
    QTest::newRow("beyond 32 bits") << "1e39" << false << 0.0f << range;
    QTest::newRow("beyond 32 bits, negative") << "-3.5e38" << false << 0.0f << range;
    QTest::newRow("beyond 64 bits") << "1e400" << false << 0.0f << range;
}

void TestNumberText::parse() {
    QFETCH(QString, input);
    QFETCH(bool, ok);
    QFETCH(float, value);
    QFETCH(int, error);
    const numbertext::ParsedSingle p = numbertext::parseSingle(input.toStdString());
    QCOMPARE(p.ok(), ok);
    if (ok)
        QCOMPARE(*p.value, value);
    else
        QCOMPARE(static_cast<int>(p.error), error);
}

void TestNumberText::parseRoundsCorrectly() {
    // The nearest single to the decimal text, not the single nearest to the nearest double.
    QCOMPARE(*numbertext::parseSingle("1.2").value, 1.2f);
    QCOMPARE(*numbertext::parseSingle("0.2").value, 0.2f);
    // Halfway between 1 and the next single above, plus a little: must round up.
    QCOMPARE(*numbertext::parseSingle("1.00000005960464477539062500001").value,
             std::nextafter(1.0f, 2.0f));
    QCOMPARE(*numbertext::parseSingle("1.000000059604644775390625").value, 1.0f);
}

void TestNumberText::commaLocaleChangesNothing() {
    const char* locales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
    const char* chosen = nullptr;
    for (const char* l : locales)
        if (std::setlocale(LC_ALL, l)) {
            chosen = l;
            break;
        }
    if (!chosen) QSKIP("no locale with a decimal comma is installed");
    QCOMPARE(QString::fromStdString(numbertext::generalText(0.14147106f)), "0.1414711");
    QCOMPARE(*numbertext::parseSingle("1.5").value, 1.5f);
    QCOMPARE(QString::fromStdString(numbertext::fixedText("2.675", 2)), "2.68");
    QCOMPARE(numbertext::leadingNumber("12.5Pa"), 12.5);
    std::setlocale(LC_ALL, "C");
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
