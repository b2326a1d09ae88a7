#include <QtTest>

#include "platform/fonts.h"
#include "system/pdftextmap.h"
#include "system/reportpages.h"

// The ToUnicode map lines as Qt writes them, and what they read once the ideographs are back.
// ⽔ U+2F54 is the radical the CJK faces draw with the glyph of 水 U+6C34.
class PdfTextMapTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { installFontSubstitutions(); }

    void restored_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("map");
        QTest::addColumn<QByteArray>("expected");
        const QString water = QStringLiteral("水泵");
        QTest::newRow("list") << water << QByteArray("<0001> <0003> [<2F54> <6CF5> <0041>]")
                              << QByteArray("<0001> <0003> [<6C34> <6CF5> <0041>]");
        QTest::newRow("one glyph")
            << water << QByteArray("<0004> <0004> <2F54>") << QByteArray("<0004> <0004> <6C34>");
        QTest::newRow("run of glyphs kept")
            << water << QByteArray("<0004> <0005> <2F54>") << QByteArray("<0004> <0005> <2F54>");
        QTest::newRow("glyph numbers kept")
            << water << QByteArray("<2F54> <2F54> <0041>") << QByteArray("<2F54> <2F54> <0041>");
        QTest::newRow("radical typed")
            << water + QChar(0x2F54) << QByteArray("<0001> <0001> <2F54>")
            << QByteArray("<0001> <0001> <2F54>");
        QTest::newRow("lower case hex")
            << water << QByteArray("<0001> <0001> <2f54>") << QByteArray("<0001> <0001> <6C34>");
    }

    void restored() {
        QFETCH(QString, text);
        QFETCH(QByteArray, map);
        QFETCH(QByteArray, expected);
        const QByteArray pdf = "stream\n1 beginbfrange\n" + map + "\nendbfrange\nendstream\n";
        const QByteArray out = withIdeographsRestored(pdf, text, {reportFont(10)});
        QCOMPARE(out, "stream\n1 beginbfrange\n" + expected + "\nendbfrange\nendstream\n");
    }

    // Single codes: the glyph number stays, the character is restored.
    void singleCodes() {
        const QByteArray pdf = "1 beginbfchar\n<2F54> <2F54>\nendbfchar\n";
        QCOMPARE(withIdeographsRestored(pdf, QStringLiteral("水"), {reportFont(10)}),
                 QByteArray("1 beginbfchar\n<2F54> <6C34>\nendbfchar\n"));
    }
};

QTEST_MAIN(PdfTextMapTest)
#include "test_pdftextmap.moc"
