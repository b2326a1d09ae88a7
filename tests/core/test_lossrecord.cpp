#include <QTest>
#include <string>
#include <vector>

#include "core/lossrecord.h"

Q_DECLARE_METATYPE(std::vector<std::string>)

class TestLossRecord : public QObject {
    Q_OBJECT
  private slots:
    void frictionRecordTextsAreTheScreenTexts() {
        const auto outcome = FrictionLossRecord::compute({50, 1000, 45, 1, 0.2f});
        QVERIFY(outcome.ok());
        const FrictionLossRecord& r = outcome.value();
        QCOMPARE(r.velocityText(), std::string("0.1414711"));
        QCOMPARE(r.lossText(), std::string("7.067252"));
        QCOMPARE(r.resultTexts()[2], r.velocityText());
        QCOMPARE(r.resultTexts()[5], r.lossText());
        QVERIFY(!FrictionLossRecord::compute({0, 1000, 45, 1, 0.2f}).ok());
    }

    void localRecordText() {
        const auto outcome = LocalLossRecord::compute({1.0f, 1.2f, 50});
        QVERIFY(outcome.ok());
        QCOMPARE(outcome.value().lossText(), std::string("711.36"));
    }

    void frictionRow_data() {
        QTest::addColumn<QStringList>("texts");  // D, L, t, G, K, V, Hf as typed
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("result");
        QTest::newRow("screen defaults")
            << QStringList{"50", "1000", "45", "1", "0.2", "0.1414711", "7.067252"}
            << " 50mm       1000mm    45℃      1m^3/h      0.2mm     0.14m/s"
            << "7.067";
        QTest::newRow("inputs as typed, velocity half up")
            << QStringList{" 050 ", "1e3", "45.0", "1", ".2", "1.415", "12"}
            << "  050 mm       1e3mm    45.0℃      1m^3/h      .2mm     1.42m/s"
            << "12.000";
        QTest::newRow("texts that are not numbers stay")
            << QStringList{"a", "b", "c", "d", "e", "fast", "abc"}
            << " amm       bmm    c℃      dm^3/h      emm     fastm/s"
            << "abc";
        QTest::newRow("negative rounding to zero")
            << QStringList{"50", "1000", "45", "1", "0.2", "-0.004", "-0.0004"}
            << " 50mm       1000mm    45℃      1m^3/h      0.2mm     0.00m/s"
            << "0.000";
    }

    void frictionRow() {
        QFETCH(QStringList, texts);
        QFETCH(QString, line);
        QFETCH(QString, result);
        std::vector<std::string> t;
        for (const QString& s : texts) t.push_back(s.toStdString());
        const auto row = ::frictionRow(t[0], t[1], t[2], t[3], t[4], t[5], t[6]);
        QVERIFY(row);
        QCOMPARE(QString::fromStdString(row->parameterLine), line);
        QCOMPARE(QString::fromStdString(row->resultText), result);
    }

    void anyEmptyTextRecordsNothing() {
        for (int empty = 0; empty < 7; ++empty) {
            std::vector<std::string> t{"50", "1000", "45", "1", "0.2", "0.14", "7.06"};
            t[empty].clear();
            QVERIFY(!::frictionRow(t[0], t[1], t[2], t[3], t[4], t[5], t[6]));
        }
        for (int empty = 0; empty < 4; ++empty) {
            std::vector<std::string> t{"1.0", "1.2", "50", "711.36"};
            t[empty].clear();
            QVERIFY(!localRow(t[0], t[1], t[2], t[3]));
        }
    }

    void localRowKeepsInputsAsTyped() {
        const auto row = localRow("1.0", "1.2", "50", "711.36");
        QVERIFY(row);
        // ζ, then t, then v: the order of the table's column labels.
        QCOMPARE(QString::fromStdString(row->parameterLine),
                 QStringLiteral("   1.0           50℃      1.2m/s      "));
        QCOMPARE(row->resultText, std::string("711.360"));
    }

    void tableTotal_data() {
        QTest::addColumn<std::vector<std::string>>("results");
        QTest::addColumn<QString>("total");
        QTest::newRow("no rows leaves it empty") << std::vector<std::string>{} << "";
        QTest::newRow("1.5 + 2.25") << std::vector<std::string>{"1.500", "2.250"} << "3.75";
        QTest::newRow("a text that is no number counts 0")
            << std::vector<std::string>{"abc", "2.000"} << "2";
        QTest::newRow("leading number of each text")
            << std::vector<std::string>{"12.5Pa", " 7.5 x"} << "20";
        QTest::newRow("15 digits") << std::vector<std::string>{"0.100", "0.200"} << "0.3";
        QTest::newRow("exponent form for large sums")
            << std::vector<std::string>{"5e14", "6e14"} << "1.1E+15";
        QTest::newRow("one row") << std::vector<std::string>{"-0.000"} << "0";
    }

    void tableTotal() {
        QFETCH(std::vector<std::string>, results);
        QFETCH(QString, total);
        QCOMPARE(QString::fromStdString(::tableTotal(results)), total);
    }
};

QTEST_APPLESS_MAIN(TestLossRecord)
#include "test_lossrecord.moc"
