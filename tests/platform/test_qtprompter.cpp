#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "platform/qtprompter.h"

Q_DECLARE_METATYPE(PromptButtons)
Q_DECLARE_METATYPE(PromptAnswer)

namespace {
// Runs `inspect` on the modal dialog once it is up, then lets the test go on.
void whenModalOpens(std::function<void(QWidget*)> inspect) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            inspect(modal);
        }
    });
    timer->start();
}
}  // namespace

class TestQtPrompter : public QObject {
    Q_OBJECT
  private slots:
    void messageBox_data() {
        QTest::addColumn<PromptButtons>("buttons");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<int>("press");  // index of the button pressed; -1 closes the box
        QTest::addColumn<PromptAnswer>("answer");
        const QStringList yesNo{QStringLiteral("&Yes"), QStringLiteral("&No")};
        const QStringList ok{QStringLiteral("OK")};
        const QStringList okCancel{QStringLiteral("OK"), QStringLiteral("Cancel")};
        QTest::newRow("yes") << PromptButtons::YesNo << yesNo << 0 << PromptAnswer::Yes;
        QTest::newRow("no") << PromptButtons::YesNo << yesNo << 1 << PromptAnswer::No;
        QTest::newRow("yes/no closed answers no")
            << PromptButtons::YesNo << yesNo << -1 << PromptAnswer::No;
        QTest::newRow("ok") << PromptButtons::Ok << ok << 0 << PromptAnswer::Ok;
        QTest::newRow("ok closed answers ok") << PromptButtons::Ok << ok << -1 << PromptAnswer::Ok;
        QTest::newRow("ok/cancel ok")
            << PromptButtons::OkCancel << okCancel << 0 << PromptAnswer::Ok;
        QTest::newRow("ok/cancel cancel")
            << PromptButtons::OkCancel << okCancel << 1 << PromptAnswer::Cancel;
        QTest::newRow("ok/cancel closed answers cancel")
            << PromptButtons::OkCancel << okCancel << -1 << PromptAnswer::Cancel;
        const QStringList yesNoCancel{QStringLiteral("&Yes"), QStringLiteral("&No"),
                                      QStringLiteral("Cancel")};
        QTest::newRow("yes/no/cancel no")
            << PromptButtons::YesNoCancel << yesNoCancel << 1 << PromptAnswer::No;
        QTest::newRow("yes/no/cancel closed answers cancel")
            << PromptButtons::YesNoCancel << yesNoCancel << -1 << PromptAnswer::Cancel;
    }

    // With no window active, a message still opens over the main window, not in the middle of
    // the screen.
    void messageOpensOverTheMainWindow() {
        QWidget mainWindow;
        mainWindow.setGeometry(40, 50, 900, 700);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QtPrompter prompter;
        prompter.setMainWindow(&mainWindow);
        QWidget* parent = nullptr;
        whenModalOpens([&parent](QWidget* box) {
            parent = box->parentWidget();
            box->close();
        });
        prompter.ask(QStringLiteral("x"), QStringLiteral("t"), PromptButtons::Ok);
        QCOMPARE(parent, &mainWindow);
    }

    void messageBox() {
        QFETCH(PromptButtons, buttons);
        QFETCH(QStringList, captions);
        QFETCH(int, press);
        QFETCH(PromptAnswer, answer);
        const QString text = QStringLiteral("各数据将被删除，确定吗？\r\n  <b>not bold</b>");
        const QString title = QStringLiteral("警告！！！");
        QString seenTitle, seenText;
        QStringList seenButtons;
        QMessageBox::Icon seenIcon = QMessageBox::Warning;
        whenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            QList<QAbstractButton*> list = box->buttons();
            std::sort(list.begin(), list.end(), [box](QAbstractButton* a, QAbstractButton* b) {
                return box->standardButton(a) < box->standardButton(b);
            });
            for (QAbstractButton* b : list) seenButtons.append(b->text());
            if (press < 0) {
                box->close();
            } else {
                // Standard buttons sort Ok < Yes < No < Cancel by their enum values; map the
                // row's index onto the captions given in the row's order.
                for (QAbstractButton* b : list)
                    if (b->text() == captions[press]) b->click();
            }
        });
        QtPrompter prompter;
        QCOMPARE(prompter.ask(text, title, buttons), answer);
        QCOMPARE(seenTitle, title);
        QCOMPARE(seenText, text);
        QCOMPARE(seenIcon, QMessageBox::NoIcon);
        QStringList expected = captions;
        expected.sort();
        seenButtons.sort();
        QCOMPARE(seenButtons, expected);
    }

    void fileDialogsCarryTitleAndFilter() {
        QString title;
        QStringList filters;
        whenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            dialog->reject();
        });
        QtPrompter prompter;
        QCOMPARE(prompter.openFileName(QStringLiteral("Open"),
                                       QStringLiteral("Text (*.txt)|*.txt|All files|*.*")),
                 QString());
        QCOMPARE(title, QStringLiteral("Open"));
        QCOMPARE(filters,
                 QStringList({QStringLiteral("Text (*.txt)"), QStringLiteral("All files (*)")}));
    }

    // Print offers the selection exactly when the caller preset it on the printer, and then
    // starts on it; Page Setup offers neither a selection nor page ranges.
    void printDialogs_data() {
        QTest::addColumn<bool>("pageSetup");
        QTest::addColumn<bool>("selectionPreset");
        QTest::newRow("print, text selected") << false << true;
        QTest::newRow("print, nothing selected") << false << false;
        QTest::newRow("page setup, text selected") << true << true;
    }

    void printDialogs() {
        QFETCH(bool, pageSetup);
        QFETCH(bool, selectionPreset);
        QPrinter printer;
        printer.setPrintRange(selectionPreset ? QPrinter::Selection : QPrinter::AllPages);
        QString title;
        bool offersSelection = false, offersPages = true, startsOnSelection = false;
        whenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<QPrintDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            offersSelection = dialog->testOption(QAbstractPrintDialog::PrintSelection);
            offersPages = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            if (auto* radio = dialog->findChild<QRadioButton*>(QStringLiteral("printSelection")))
                startsOnSelection = !radio->isHidden() && radio->isChecked();
            dialog->reject();
        });
        QtPrompter prompter;
        const QString asked = pageSetup ? QStringLiteral("Page Setup") : QStringLiteral("Print");
        QVERIFY(!(pageSetup ? prompter.setupPrinter(printer, asked)
                            : prompter.choosePrinter(printer, asked)));
        QCOMPARE(title, asked);
        QVERIFY(!offersPages);
        QCOMPARE(offersSelection, selectionPreset && !pageSetup);
        QCOMPARE(startsOnSelection, selectionPreset && !pageSetup);
    }

    void filterConversion_data() {
        QTest::addColumn<QString>("common");
        QTest::addColumn<QString>("qt");
        QTest::newRow("pairs") << "Text|*.txt|Rich text|*.rtf"
                               << "Text (*.txt);;Rich text (*.rtf)";
        QTest::newRow("star dot star means every file") << "All|*.*"
                                                        << "All (*)";
        QTest::newRow("own patterns kept as written") << "文本文件 (*.txt)|*.txt"
                                                      << "文本文件 (*.txt)";
        QTest::newRow("full-width parenthesis gets the patterns") << "word文档（*.doc)|*.doc"
                                                                  << "word文档（*.doc) (*.doc)";
        QTest::newRow("own star dot star gets the real pattern") << "All files (*.*)|*.*"
                                                                 << "All files (*.*) (*)";
        QTest::newRow("several patterns of one entry") << "Docs|*.doc;*.txt"
                                                       << "Docs (*.doc *.txt)";
        QTest::newRow("odd trailing description dropped") << "Text|*.txt|Lonely"
                                                          << "Text (*.txt)";
        QTest::newRow("qt form passes through") << "Text (*.txt);;All (*)"
                                                << "Text (*.txt);;All (*)";
        QTest::newRow("empty") << ""
                               << "";
    }

    void filterConversion() {
        QFETCH(QString, common);
        QFETCH(QString, qt);
        QCOMPARE(qtFileFilter(common), qt);
    }
};

QTEST_MAIN(TestQtPrompter)
#include "test_qtprompter.moc"
