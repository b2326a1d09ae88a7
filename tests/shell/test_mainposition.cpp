#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "shell/mainform.h"
#include "shell/mainposition.h"
#include "tests/support/scriptedprompter.h"

namespace {

const QString Section = QStringLiteral("Settings");
const QStringList Keys{"MainLeft", "MainTop", "MainWidth", "MainHeight"};

// One run of the program against a settings file that outlives the run.
class Runs {
  public:
    Runs() : path_(dir_.filePath(QStringLiteral("settings.ini"))) {}

    std::unique_ptr<MainForm> start() {
        store_ = std::make_unique<SettingsStore>(path_);
        return std::make_unique<MainForm>(prompter_, *store_);
    }
    void preset(const QStringList& texts) {
        SettingsStore store(path_);
        for (int i = 0; i < Keys.size(); ++i)
            if (!texts[i].isNull()) store.setText(Section, Keys[i], texts[i]);
        store.flush();
    }
    QStringList stored() const {
        SettingsStore store(path_);
        QStringList texts;
        for (const QString& key : Keys) texts << store.text(Section, key).value_or(QString());
        return texts;
    }

  private:
    QTemporaryDir dir_;
    QString path_;
    ScriptedPrompter prompter_;
    std::unique_ptr<SettingsStore> store_;
};

double dpi() { return QGuiApplication::primaryScreen()->logicalDotsPerInch(); }

QRect pixels(double left, double top, double width, double height) {
    return QRect(twipsToPixels(left, dpi()), twipsToPixels(top, dpi()), twipsToPixels(width, dpi()),
                 twipsToPixels(height, dpi()));
}

// Where the window is once it is on the screen: its frame's corner and its own size.
QRect placement(MainForm& form) {
    if (!form.isVisible()) form.show();
    QCoreApplication::processEvents();
    return QRect(form.pos(), form.size());
}

// The largest size the window opens with: that of the desktop, all screens together.
QSize desktopSize() {
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) desktop |= screen->geometry();
    return desktop.size();
}

}  // namespace

class TestMainPosition : public QObject {
    Q_OBJECT
  private slots:
    void firstStartUsesTheDefaults() {
        Runs runs;
        auto form = runs.start();
        QCOMPARE(placement(*form), pixels(1000, 1000, 6500, 6500));
    }

    void closingStoresWholeTwipsAsPlainNumbers() {
        if (dpi() != 96) QSKIP("the expected texts are for 96 dpi");
        Runs runs;
        auto form = runs.start();
        placement(*form);
        form->move(100, 50);
        form->resize(500, 400);
        QVERIFY(form->close());
        QCOMPARE(runs.stored(), QStringList({"1500", "750", "7500", "6000"}));
    }

    void untouchedEdgesKeepTheirTwips() {
        // 1000 twips is 66.7 px at 96 dpi: without care it would come back as 1005.
        Runs runs;
        auto form = runs.start();
        form->show();
        QVERIFY(form->close());
        QCOMPARE(runs.stored(), QStringList({"1000", "1000", "6500", "6500"}));
        auto again = runs.start();
        again->show();
        again->resize(again->width() + 10, again->height());
        QVERIFY(again->close());
        const QStringList stored = runs.stored();
        QCOMPARE(stored.at(0), "1000");
        QCOMPARE(stored.at(3), "6500");
        QVERIFY(stored.at(2) != "6500");
    }

    void positionSurvivesARestart() {
        Runs runs;
        auto first = runs.start();
        placement(*first);
        first->move(120, 40);
        first->resize(555, 321);
        const QRect before = placement(*first);
        QVERIFY(first->close());
        first.reset();
        QCOMPARE(placement(*runs.start()), before);
    }

    void minimizedClosingKeepsTheLastValues() {
        Runs runs;
        const QStringList earlier{"2000", "1500", "9000", "7000"};
        runs.preset(earlier);
        auto form = runs.start();
        form->show();
        form->move(5, 5);
        form->showMinimized();
        QVERIFY(form->isMinimized());
        QVERIFY(form->close());
        QCOMPARE(runs.stored(), earlier);
    }

    void maximizedClosingStores() {
        Runs runs;
        runs.preset({"2000", "1500", "9000", "7000"});
        auto form = runs.start();
        form->showMaximized();
        QCoreApplication::processEvents();
        QVERIFY(form->close());
        QVERIFY(runs.stored() != QStringList({"2000", "1500", "9000", "7000"}));
    }

    void storedTexts_data() {
        QTest::addColumn<QStringList>("texts");  // null: key absent
        QTest::addColumn<QRect>("expected");     // twips
        QTest::newRow("all stored")
            << QStringList{"1500", "750", "7500", "6000"} << QRect(1500, 750, 7500, 6000);
        QTest::newRow("decimals and blanks")
            << QStringList{" 1500.4", "750", "7500", "6000 "} << QRect(1500, 750, 7500, 6000);
        QTest::newRow("some absent")
            << QStringList{"1500", QString(), QString(), "6000"} << QRect(1500, 1000, 6500, 6000);
        QTest::newRow("not a number gives that key's default")
            << QStringList{"abc", "750", "", "12px"} << QRect(1000, 750, 6500, 6500);
        QTest::newRow("partly off screen stays")
            << QStringList{"-3000", "-1500", "6500", "6500"} << QRect(-3000, -1500, 6500, 6500);
    }

    void storedTexts() {
        QFETCH(QStringList, texts);
        QFETCH(QRect, expected);
        Runs runs;
        runs.preset(texts);
        QCOMPARE(placement(*runs.start()),
                 pixels(expected.x(), expected.y(), expected.width(), expected.height()));
    }

    // The program's only window must stay reachable.
    void whollyOffScreenOpensAtTheDefaultCorner_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("far left") << QStringList{"-100000", "1000", "6500", "6500"};
        QTest::newRow("far below") << QStringList{"1000", "900000", "6500", "6500"};
        QTest::newRow("far right, huge") << QStringList{"1E+07", "0", "90000", "90000"};
    }

    void whollyOffScreenOpensAtTheDefaultCorner() {
        QFETCH(QStringList, texts);
        Runs runs;
        runs.preset(texts);
        auto form = runs.start();
        const QRect stored = pixels(texts[0].toDouble(), texts[1].toDouble(), texts[2].toDouble(),
                                    texts[3].toDouble());
        const QRect placed = placement(*form);
        QCOMPARE(placed.topLeft(), pixels(1000, 1000, 0, 0).topLeft());
        QCOMPARE(placed.size(), stored.size().boundedTo(desktopSize()));
    }

    // A window moved to the default corner is stored there in whole twips at closing, not in
    // the twips of its pixels (1005), and keeps the size it was stored with.
    void movedWindowStoresTheDefaultCorner() {
        Runs runs;
        runs.preset({"-100000", "1000", "6500", "6500"});
        auto form = runs.start();
        placement(*form);
        QVERIFY(form->close());
        QCOMPARE(runs.stored(), QStringList({"1000", "1000", "6500", "6500"}));
    }

    // A hand-edited store with values beyond any screen: the window still opens where it can
    // be reached, no larger than the desktop, and closing stores what it showed.
    void absurdValuesGiveAUsableWindow_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("largest single") << QStringList{"3E+38", "-3E+38", "3E+38", "3E+38"};
        QTest::newRow("a billion twips") << QStringList{"1E+09", "1000", "1E+09", "1E+09"};
        QTest::newRow("huge size on screen") << QStringList{"0", "0", "1E+09", "1E+09"};
    }

    void absurdValuesGiveAUsableWindow() {
        QFETCH(QStringList, texts);
        Runs runs;
        runs.preset(texts);
        auto form = runs.start();
        const QRect placed = placement(*form);
        QCOMPARE(placed.size(), desktopSize());
        bool meets = false;
        for (const QScreen* screen : QGuiApplication::screens())
            meets = meets || screen->availableGeometry().intersects(placed);
        QVERIFY(meets);
        QVERIFY(form->close());
        for (const QString& text : runs.stored()) {
            bool number = false;
            const double twips = text.toDouble(&number);
            QVERIFY2(number && std::abs(twips) < 1e6, qPrintable(text));
        }
    }

    // Smaller than the desktop is used as it is, even when larger than the screen's free area.
    void sizeUpToTheDesktopIsKept() {
        Runs runs;
        const QSize desktop = desktopSize();
        const double dpiNow = dpi();
        runs.preset({"0", "0", QString::number(pixelsToTwips(desktop.width(), dpiNow)),
                     QString::number(pixelsToTwips(desktop.height() - 1, dpiNow))});
        QCOMPARE(placement(*runs.start()).size(), QSize(desktop.width(), desktop.height() - 1));
    }

    void reachablePlacement_data() {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("on the second screen")
            << QRect(2000, 100, 300, 300) << QRect(2000, 100, 300, 300);
        QTest::newRow("touching the first by a pixel")
            << QRect(-299, -299, 300, 300) << QRect(-299, -299, 300, 300);
        QTest::newRow("in the gap between screens")
            << QRect(1300, 100, 200, 200) << QRect(67, 67, 200, 200);
        QTest::newRow("above both") << QRect(0, -500, 300, 300) << QRect(67, 67, 300, 300);
        QTest::newRow("zero size on screen stays") << QRect(10, 10, 0, 0) << QRect(10, 10, 0, 0);
    }

    void reachablePlacement() {
        QFETCH(QRect, wanted);
        QFETCH(QRect, expected);
        const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1600, 0, 1920, 1080)};
        QCOMPARE(::reachablePlacement(wanted, screens, QPoint(67, 67)), expected);
    }
};

QTEST_MAIN(TestMainPosition)
#include "test_mainposition.moc"
