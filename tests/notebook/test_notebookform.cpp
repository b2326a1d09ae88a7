#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "platform/fonts.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "shell/mainform.h"
#include "tests/support/scriptedprompter.h"

namespace {

QString dataPath(const char* name) { return QStringLiteral(QUORVEL_TEST_DATA "/") + name; }

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Output of an independent reader, blanks evened.
QString readBack(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) return QStringLiteral("<%1 did not finish>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

struct Harness {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    SettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
    MainForm form{prompter, store};

    Harness() {
        form.resize(900, 700);
        form.show();
        form.activateWindow();
        // Shortcuts reach only the active window.
        if (!QTest::qWaitForWindowActive(&form)) qWarning("main window not active");
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void trigger(const char* name) { form.findChild<QAction*>(QString::fromUtf8(name))->trigger(); }
    QToolButton* button(const char* key) {
        return form.findChild<QToolButton*>(QString::fromUtf8(key));
    }
    QWidget* notebook() { return form.findChild<QWidget*>(QStringLiteral("saveform")); }
    QTextEdit* editor() { return form.findChild<QTextEdit*>(QStringLiteral("RichTextBox1")); }
    QTextEdit* newNotebook(const QString& html = QString()) {
        trigger("mnuFileNew");
        editor()->setHtml(html);
        editor()->document()->setModified(false);
        return editor();
    }
    void select(int from, int to) {
        QTextCursor cursor(editor()->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
    }
    int openWindows() const { return int(form.mdiArea()->subWindowList().size()); }
};

// Each paragraph's alignment, then its runs of bold, italic and underline ("b", "i", "u" or
// "-" each) and their text; paragraphs separated by "|".
QString runsOf(const QTextDocument& document) {
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const Qt::Alignment a = block.blockFormat().alignment();
        QString line = (a & Qt::AlignHCenter) ? "C:" : (a & Qt::AlignRight) ? "R:" : "L:";
        QString previous;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString attributes = QStringLiteral("[%1%2%3]")
                                           .arg(f.fontWeight() >= QFont::DemiBold ? "b" : "-")
                                           .arg(f.fontItalic() ? "i" : "-")
                                           .arg(f.fontUnderline() ? "u" : "-");
            if (attributes != previous) line += attributes;
            line += it.fragment().text();
            previous = attributes;
        }
        out << line;
    }
    return out.join(u'|');
}

const QString Formatted = QStringLiteral(
    "<p>普通 <b>粗体</b> <i>斜体</i> <u>下划线</u></p><p align=center>居中 Hf = 7.067 Pa</p>"
    "<p>尾</p>");
const QString FormattedText = QStringLiteral("普通 粗体 斜体 下划线\n居中 Hf = 7.067 Pa\n尾");

}  // namespace

class TestNotebookForm : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { installFontSubstitutions(); }

    void newKeepsTheOneNotebook() {
        Harness h;
        h.newNotebook(QStringLiteral("keep me"));
        QTest::mouseClick(h.button("New"), Qt::LeftButton);
        QTest::keyClick(&h.form, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(h.openWindows(), 1);
        QCOMPARE(h.editor()->toPlainText(), QStringLiteral("keep me"));
        QVERIFY(h.form.mdiArea()->currentSubWindow()->windowFlags().testFlags(
            Qt::WindowMinMaxButtonsHint));
    }

    // What each command does while no notebook is active: with no window at all, and with a
    // calculation screen. A dialog a command shows there is cancelled.
    void commandsWithoutTheNotebook_data() {
        QTest::addColumn<bool>("screen");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("shown");  // kind and title of the one prompt, or empty
        const QString order = QStringLiteral("ask system order");
        const QString pageSetup = QStringLiteral("page setup Page Setup");
        for (bool screen : {false, true}) {
            const char* where = screen ? "screen: " : "none: ";
            QTest::newRow(QByteArray(where).append("Open").constData())
                << screen << "mnuFileOpen" << (screen ? order : "open Open");
            QTest::newRow(QByteArray(where).append("Open button").constData())
                << screen << "Open" << (screen ? order : "open Open");
            QTest::newRow(QByteArray(where).append("Save As button").constData())
                << screen << "Save" << (screen ? order : "");
            QTest::newRow(QByteArray(where).append("Page Setup").constData())
                << screen << "mnuFilePageSetup" << pageSetup;
            for (const char* inert : {"savetxt", "mnuFilePrint", "mnuEditCut", "mnuEditCopy",
                                      "mnuEditPaste", "Italic", "Center"})
                QTest::newRow(QByteArray(where).append(inert).constData()) << screen << inert << "";
        }
    }

    void commandsWithoutTheNotebook() {
        QFETCH(bool, screen);
        QFETCH(QString, command);
        QFETCH(QString, shown);
        Harness h;
        if (screen) h.trigger("sgyzss");
        QApplication::clipboard()->setText(QStringLiteral("clip"));
        h.prompter.queueAnswer(PromptAnswer::Ok);
        h.prompter.queueFileName(QString());
        h.prompter.queuePrint(false);
        if (QToolButton* button = h.button(command.toUtf8().constData()))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            h.trigger(command.toUtf8().constData());
        QStringList seen;
        for (const ScriptedPrompter::Call& call : h.prompter.calls())
            seen << call.kind + u' ' + call.title;
        QCOMPARE(seen.join(u';'), shown);
        if (shown.startsWith(QLatin1String("ask")))
            QCOMPARE(h.prompter.calls().first().text.count(u'\n'), 1);
        QCOMPARE(h.openWindows(), screen ? 1 : 0);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clip"));
        QVERIFY(!h.button("Italic")->isChecked());
    }

    // Open reads RTF by its header and anything else as text; a file that is neither, or that
    // cannot be read, is named in a message and leaves the notebook as it was. With no window,
    // the notebook opens for a file that could be read.
    void open_data() {
        QTest::addColumn<bool>("window");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("read");
        QTest::newRow("RTF by LibreOffice") << true << dataPath("note-libreoffice.rtf") << true;
        QTest::newRow("RTF in code page 936") << true << dataPath("note-wordpad-gbk.rtf") << true;
        QTest::newRow("UTF-8 text") << true << dataPath("note-utf8.txt") << true;
        QTest::newRow("UTF-8 text with BOM") << true << dataPath("note-utf8-bom.txt") << true;
        QTest::newRow("GB18030 text") << true << dataPath("note-gb18030.txt") << true;
        QTest::newRow("binary Word file") << true << dataPath("note-word97.doc") << false;
        QTest::newRow("missing file") << true << "/nonexistent/a.txt" << false;
        QTest::newRow("a device") << true << "/dev/zero" << false;
        QTest::newRow("nested too deep") << true << "deep.rtf" << false;
        QTest::newRow("no window, RTF by pandoc") << false << dataPath("note-pandoc.rtf") << true;
        QTest::newRow("no window, binary Word file")
            << false << dataPath("note-word97.doc") << false;
    }

    void open() {
        QFETCH(bool, window);
        QFETCH(QString, file);
        QFETCH(bool, read);
        Harness h;
        if (QFileInfo(file).isRelative()) {
            file = h.path("deep.rtf");
            QFile deep(file);
            QVERIFY(deep.open(QIODevice::WriteOnly));
            deep.write("{\\rtf1" + QByteArray(1000, '{'));
        }
        if (window) h.newNotebook(QStringLiteral("before"));
        h.prompter.queueFileName(file);
        if (!read) h.prompter.queueAnswer(PromptAnswer::Ok);
        QTest::keyClick(&h.form, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(h.prompter.calls().size(), read ? 1 : 2);
        QCOMPARE(h.openWindows(), window || read ? 1 : 0);
        if (!read) {
            QVERIFY(h.prompter.calls().last().text.contains(file));
            if (window) QCOMPARE(h.editor()->toPlainText(), QStringLiteral("before"));
            if (window) QCOMPARE(h.notebook()->windowTitle(), QString::fromUtf8("保存内容"));
            return;
        }
        QVERIFY(h.editor()->toPlainText().startsWith(QString::fromUtf8("空调水系统水力计算记录")));
        QCOMPARE(h.notebook()->windowTitle(), file);
        QVERIFY(!h.editor()->document()->isModified());
    }

    // Changed content asks before Open replaces it or the notebook closes: Yes saves it as RTF
    // and goes on only once saved, No drops it, Cancel keeps everything. Content that is empty
    // or saved goes without a question.
    void changedContentIsNotDroppedSilently_data() {
        QTest::addColumn<QString>("how");  // "open" or "close"
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");  // -1: no question
        QTest::addColumn<bool>("saveDialogAnswered");
        QTest::addColumn<bool>("goesOn");
        for (const char* how : {"open", "close"}) {
            const QByteArray name(how);
            const int yes = int(PromptAnswer::Yes);
            QTest::newRow(name + ": yes, saved") << how << "note" << yes << true << true;
            QTest::newRow(name + ": yes, save cancelled") << how << "note" << yes << false << false;
            QTest::newRow(name + ": no") << how << "note" << int(PromptAnswer::No) << false << true;
            QTest::newRow(name + ": cancel")
                << how << "note" << int(PromptAnswer::Cancel) << false << false;
            QTest::newRow(name + ": typed and deleted") << how << "x\b" << -1 << false << true;
        }
        QTest::newRow("close: saved") << "close"
                                      << "saved" << -1 << false << true;
    }

    void changedContentIsNotDroppedSilently() {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, saveDialogAnswered);
        QFETCH(bool, goesOn);
        Harness h;
        QTextEdit* editor = h.newNotebook();
        QTest::keyClicks(editor, typed);
        if (typed == QLatin1String("saved")) {
            h.prompter.queueFileName(h.path("saved.txt"));
            h.trigger("mnuFileSaveAs");
            h.prompter.clearCalls();
        }
        if (answer >= 0) h.prompter.queueAnswer(PromptAnswer(answer));
        if (answer == int(PromptAnswer::Yes))
            h.prompter.queueFileName(saveDialogAnswered ? h.path("kept.doc") : QString());
        if (how == QLatin1String("open")) {
            if (goesOn) h.prompter.queueFileName(dataPath("note-utf8.txt"));
            h.trigger("mnuFileOpen");
            QCOMPARE(editor->toPlainText().startsWith(QString::fromUtf8("空调")), goesOn);
        } else {
            QCOMPARE(h.form.close(), goesOn);
        }
        QCOMPARE(h.prompter.calls().isEmpty() || h.prompter.calls().first().kind != "ask",
                 answer < 0);
        QCOMPARE(h.prompter.pendingAnswers(), 0);
        QCOMPARE(bytesOf(h.path("kept.doc")).startsWith("{\\rtf"), saveDialogAnswered);
    }

    // Save As writes the visible text whichever name it is given; Save recorded content
    // writes RTF that independent readers read as the same text.
    void saveCommandsWriteTheirFormats() {
        Harness h;
        h.newNotebook(Formatted);
        h.prompter.queueFileName(h.path("plain.doc"));
        QTest::mouseClick(h.button("Save"), Qt::LeftButton);
        QCOMPARE(bytesOf(h.path("plain.doc")), FormattedText.toUtf8());
        QCOMPARE(h.notebook()->windowTitle(), h.path("plain.doc"));
        h.prompter.queueFileName(h.path("rich.doc"));
        h.trigger("savetxt");
        QCOMPARE(h.notebook()->windowTitle(), h.path("rich.doc"));
        QCOMPARE(readBack("pandoc", {"-f", "rtf", "-t", "plain", h.path("rich.doc")}),
                 QString(FormattedText).replace(u'\n', u' '));
        // Saved once, the file opens to the same content and formatting.
        const QString before = runsOf(*h.editor()->document());
        h.prompter.queueFileName(h.path("rich.doc"));
        h.trigger("mnuFileOpen");
        QCOMPARE(runsOf(*h.editor()->document()), before);
        QVERIFY(before.contains(QStringLiteral("[b--]粗体")) && before.contains("|C:"));
    }

    // A failed write names the file, keeps the caption and leaves what was there.
    void failedSaveChangesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << "nofolder/a.doc";
        QTest::newRow("a folder in the way") << "folder";
    }

    void failedSaveChangesNothing() {
        QFETCH(QString, target);
        Harness h;
        QDir(h.dir.path()).mkdir(QStringLiteral("folder"));
        const QStringList files = QDir(h.dir.path()).entryList(QDir::Files);
        const QString path = h.path(target.toUtf8().constData());
        QTest::keyClicks(h.newNotebook(), QStringLiteral("text"));
        h.prompter.queueFileName(path);
        h.prompter.queueAnswer(PromptAnswer::Ok);
        h.trigger("savetxt");
        QCOMPARE(h.prompter.calls().size(), 2);
        QVERIFY(h.prompter.calls().last().text.contains(path));
        QCOMPARE(h.notebook()->windowTitle(), QString::fromUtf8("保存内容"));
        QCOMPARE(QFileInfo(path).isDir(), target == QLatin1String("folder"));
        QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files), files);
        QVERIFY(h.editor()->document()->isModified());
    }

    // Print offers the selection when there is one and prints what the dialog left chosen;
    // Page Setup's choices hold for the next Print. Read back from the PDF by pdftotext.
    void print_data() {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("wholeChosen");
        QTest::addColumn<QString>("printed");
        const QString all = QString(FormattedText).replace(u'\n', u' ');
        QTest::newRow("nothing selected") << false << false << all;
        QTest::newRow("selection") << true << false << QString::fromUtf8("粗体 斜体");
        QTest::newRow("selection, all pages chosen") << true << true << all;
    }

    void print() {
        QFETCH(bool, selected);
        QFETCH(bool, wholeChosen);
        QFETCH(QString, printed);
        Harness h;
        h.newNotebook(Formatted);
        if (selected) h.select(3, 8);
        const QString pdf = h.path("out.pdf");
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        h.prompter.queuePrint(true, [&pdf](QPrinter& printer) {
            printer.setOutputFileName(pdf);
            printer.setPageOrientation(QPageLayout::Landscape);
        });
        h.trigger("mnuFilePageSetup");
        h.prompter.queuePrint(false);
        QTest::mouseClick(h.button("Print"), Qt::LeftButton);
        QCOMPARE(bytesOf(pdf), QByteArray("old"));
        h.prompter.queuePrint(true, [wholeChosen](QPrinter& printer) {
            if (wholeChosen) printer.setPrintRange(QPrinter::AllPages);
        });
        h.trigger("mnuFilePrint");
        const QList<ScriptedPrompter::Call>& calls = h.prompter.calls();
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls[1].printRange, int(selected ? QPrinter::Selection : QPrinter::AllPages));
        // Numbers and all: the document's words, then the page number.
        QCOMPARE(readBack("pdftotext", {"-layout", pdf, "-"}), printed + " 1");
        const QRegularExpressionMatch page =
            QRegularExpression(QStringLiteral("Page size: ([0-9.]+) x ([0-9.]+)"))
                .match(readBack("pdfinfo", {pdf}));
        QVERIFY(page.hasMatch());
        QVERIFY(page.captured(1).toDouble() > page.captured(2).toDouble());
        // The temporary file the PDF was written to is gone.
        QCOMPARE(QDir(h.dir.path()).entryList({"*.pdf*"}, QDir::Files), QStringList{"out.pdf"});
    }

    // Copy and Cut carry RTF and the visible text, whichever way they are asked for; Paste
    // takes RTF first, then markup in plain text, then plain text.
    void clipboard_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("menu") << "menu";
        QTest::newRow("toolbar") << "toolbar";
        QTest::newRow("editor keys") << "keys";
    }

    void clipboard() {
        QFETCH(QString, how);
        Harness h;
        QTextEdit* editor = h.newNotebook(Formatted);
        const auto run = [&](const char* item, const char* key, Qt::Key shortcut) {
            if (how == QLatin1String("menu"))
                h.trigger(item);
            else if (how == QLatin1String("toolbar"))
                QTest::mouseClick(h.button(key), Qt::LeftButton);
            else
                QTest::keyClick(editor, shortcut, Qt::ControlModifier);
        };
        editor->setFocus();
        h.select(3, 30);  // from 粗体 to the end of the centred paragraph, its mark included
        run("mnuEditCopy", "Copy", Qt::Key_C);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QCOMPARE(data->text(), QString::fromUtf8("粗体 斜体 下划线\n居中 Hf = 7.067 Pa\n"));
        QVERIFY(data->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
        QCOMPARE(data->data(QStringLiteral("application/rtf")),
                 data->data(QStringLiteral("text/rtf")));
        const QString copied = runsOf(*editor->document());

        run("mnuEditCut", "Cut", Qt::Key_X);
        QCOMPARE(editor->toPlainText(), QString::fromUtf8("普通 尾"));
        run("mnuEditPaste", "Paste", Qt::Key_V);
        QCOMPARE(runsOf(*editor->document()), copied);

        editor->clear();
        QApplication::clipboard()->setText(QStringLiteral("{\\rtf1 {\\b bold}\\par}"));
        run("mnuEditPaste", "Paste", Qt::Key_V);
        QCOMPARE(runsOf(*editor->document()), QStringLiteral("L:[b--]bold|L:"));
        editor->clear();
        QApplication::clipboard()->setText(QStringLiteral("{not rtf} \\b"));
        run("mnuEditPaste", "Paste", Qt::Key_V);
        QCOMPARE(editor->toPlainText(), QStringLiteral("{not rtf} \\b"));
    }

    // A click sets the attribute on the whole selection unless all of it has it, and the
    // button then shows what the selection reads back as.
    void formatButtons_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("after");  // the runs after each of two clicks
        QTest::addColumn<QList<bool>>("pressed");
        QTest::newRow("bold selection: plain, then bold again")
            << "Bold" << 3 << 5
            << QStringList{"L:[---]普通 粗体 [-i-]斜体", "L:[---]普通 [b--]粗体[---] [-i-]斜体"}
            << QList<bool>{false, true};
        QTest::newRow("partly italic: all italic, then none")
            << "Italic" << 5 << 8
            << QStringList{"L:[---]普通 [b--]粗体[-i-] 斜体", "L:[---]普通 [b--]粗体[---] 斜体"}
            << QList<bool>{true, false};
        // An x typed after each click.
        QTest::newRow("no selection: the typing format")
            << "Underline" << 2 << 2
            << QStringList{"L:[---]普通[--u]x[---] [b--]粗体[---] [-i-]斜体",
                           "L:[---]普通[--u]x[---]x [b--]粗体[---] [-i-]斜体"}
            << QList<bool>{true, false};
    }

    void formatButtons() {
        QFETCH(QString, key);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, after);
        QFETCH(QList<bool>, pressed);
        Harness h;
        QTextEdit* editor = h.newNotebook(QStringLiteral("<p>普通 <b>粗体</b> <i>斜体</i></p>"));
        QToolButton* button = h.button(key.toLatin1().constData());
        h.select(from, to);
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(button->isChecked(), pressed[i]);
            if (from == to) QTest::keyClicks(editor, QStringLiteral("x"));
            QCOMPARE(runsOf(*editor->document()), after[i]);
        }
        // Moving the selection leaves the button alone.
        h.select(0, 1);
        QCOMPARE(button->isChecked(), pressed[1]);
    }

    void alignmentButtonsAlignTheSelectedParagraphs() {
        Harness h;
        QTextEdit* editor = h.newNotebook(QStringLiteral("<p>a</p><p>b</p><p>c</p>"));
        for (auto [from, to, key] : {std::tuple{0, 3, "Align Right"}, {4, 4, "Center"}}) {
            h.select(from, to);
            QTest::mouseClick(h.button(key), Qt::LeftButton);
        }
        QCOMPARE(runsOf(*editor->document()), QStringLiteral("R:[---]a|R:[---]b|C:[---]c"));
        QTest::mouseClick(h.button("Align Left"), Qt::LeftButton);
        QCOMPARE(runsOf(*editor->document()), QStringLiteral("R:[---]a|R:[---]b|L:[---]c"));
    }

    // The editor sits 100 twips inside the window and wraps 400 twips short of its width; a
    // window too small for that keeps the last layout.
    void layout_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("laidOut");
        QTest::newRow("ordinary") << QSize(500, 300) << true;
        QTest::newRow("too narrow") << QSize(12, 300) << false;
        QTest::newRow("too low") << QSize(500, 12) << false;
    }

    void layout() {
        QFETCH(QSize, size);
        QFETCH(bool, laidOut);
        Harness h;
        h.newNotebook();
        QWidget* notebook = h.notebook();
        notebook->resize(400, 250);
        const QRect before = h.editor()->geometry();
        notebook->resize(size);
        const double dpi = notebook->logicalDpiX();
        const auto px = [dpi](double twips) { return twipsToPixels(twips, dpi); };
        const QRect expected(px(100), px(100), px(pixelsToTwips(size.width(), dpi) - 200),
                             px(pixelsToTwips(size.height(), dpi) - 200));
        QCOMPARE(h.editor()->geometry(), laidOut ? expected : before);
        if (h.editor()->width() >= px(400)) {
            QCOMPARE(h.editor()->lineWrapColumnOrWidth(),
                     px(pixelsToTwips(h.editor()->width(), dpi) - 400));
        }
    }
};

QTEST_MAIN(TestNotebookForm)
#include "test_notebookform.moc"
