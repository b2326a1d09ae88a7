#include <QtTest>

#include "system/celltext.h"

// Blocks of cells as the spreadsheet programs put them on the clipboard and take them back.
class TestCellText : public QObject {
    Q_OBJECT
  private slots:
    void readsClipboardTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("spreadsheet rows end in CR LF, the last one too")
            << "A\tB\r\n1\t2\r\n"
            << QList<QStringList>{{"A", "B"}, {"1", "2"}};
        QTest::newRow("a lone cell without line break") << "12.5" << QList<QStringList>{{"12.5"}};
        QTest::newRow("LF only, empty cells kept")
            << "a\t\tc\n\t\t\n"
            << QList<QStringList>{{"a", "", "c"}, {"", "", ""}};
        QTest::newRow("quoted cell across lines with doubled quotes")
            << "\"x\r\n\"\"y\"\"\"\tz\r\n"
            << QList<QStringList>{{"x\r\n\"y\"", "z"}};
        QTest::newRow("a quote inside a cell is text") << "5\"\t6\n"
                                                       << QList<QStringList>{{"5\"", "6"}};
        QTest::newRow("blank line in the middle stays a row")
            << "a\n\nb\n"
            << QList<QStringList>{{"a"}, {""}, {"b"}};
    }
    void readsClipboardTexts() {
        QFETCH(QString, text);
        QFETCH(QList<QStringList>, rows);
        QCOMPARE(celltext::fromTabSeparated(text), rows);
    }

    void roundTripsAwkwardCells() {
        const QList<QStringList> rows{{"a\tb", "line\nbreak", "\"quoted\""}, {"", "５０", "x"}};
        QCOMPARE(celltext::fromTabSeparated(celltext::toTabSeparated(rows)), rows);
    }
};

QTEST_APPLESS_MAIN(TestCellText)
#include "test_celltext.moc"
