#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

namespace {

QByteArray dataFile(const QString& name) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}

// Paragraphs joined by '\n'; line breaks stay U+2028.
QString textOf(const QTextDocument& document) {
    return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

// One line per paragraph: its alignment, then each run with the attributes the notebook keeps,
// resolved against the document's default font, so that explicit and inherited values compare.
QString describe(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const Qt::Alignment a = block.blockFormat().alignment();
        QString line = (a & Qt::AlignHCenter)   ? QStringLiteral("C")
                       : (a & Qt::AlignRight)   ? QStringLiteral("R")
                       : (a & Qt::AlignJustify) ? QStringLiteral("J")
                                                : QStringLiteral("L");
        QString previous;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const QString attributes =
                QStringLiteral("%1%2%3 %4 %5pt %6")
                    .arg(f.fontWeight() >= QFont::DemiBold ? "b" : "-")
                    .arg(f.fontItalic() ? "i" : "-")
                    .arg(f.fontUnderline() ? "u" : "-")
                    .arg(families.isEmpty() ? document.defaultFont().family() : families.first())
                    .arg(f.fontPointSize() > 0 ? f.fontPointSize()
                                               : document.defaultFont().pointSizeF())
                    .arg(f.foreground().style() == Qt::NoBrush ? QStringLiteral("auto")
                                                               : f.foreground().color().name());
            if (attributes != previous) line += QStringLiteral(" [") + attributes + "] ";
            line += it.fragment().text();
            previous = attributes;
        }
        lines << line;
    }
    return lines.join(u'\n');
}

// Texts of the runs that satisfy the test, '|' between runs.
template <class Test>
QString runs(const QTextDocument& document, Test test) {
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (test(it.fragment().charFormat())) out << it.fragment().text();
        }
    }
    return out.join(u'|');
}

QString alignments(const QTextDocument& document) {
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const Qt::Alignment a = block.blockFormat().alignment();
        out += (a & Qt::AlignHCenter) ? u'C' : (a & Qt::AlignRight) ? u'R' : u'L';
    }
    return out;
}

void makeDocument(QTextDocument& document, const QString& source) {
    if (source.startsWith(QStringLiteral("plain:"))) {
        document.setPlainText(source.mid(6));
    } else {
        document.setHtml(source);
    }
}

// Runs an independent reader over RTF given on its standard input or as a file.
QByteArray runTool(const QString& tool, const QStringList& arguments, const QByteArray& rtf) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
        qWarning("%s is not installed; scripts/setup.sh installs it", qPrintable(tool));
        return {};
    }
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/quorvel-XXXXXX.rtf"));
    if (!file.open() || file.write(rtf) != rtf.size()) return {};
    file.close();
    QProcess process;
    process.start(tool, arguments + QStringList{file.fileName()});
    if (!process.waitForFinished(60000)) return {};
    return process.readAllStandardOutput();
}

// Independent readers turn tabs and no-break spaces into spaces and trim lines.
QString blanksEvened(QString text) {
    text.replace(u'\t', u' ').replace(QChar::Nbsp, u' ');
    QStringList lines = text.trimmed().split(u'\n');
    for (QString& line : lines) line = line.trimmed();
    return lines.join(u'\n');
}

const QString Note = QString::fromUtf8(
    "空调水系统水力计算记录\n"
    "工程：某办公楼空调水系统，冷水供回水温度 7/12 ℃。\n"
    "管段 1：直径 D=50 mm，长度 L=1000 mm，流量 G=1 m³/h，粗糙度 K=0.2 mm。\n"
    "沿程阻力 Hf = 7.067 Pa\n");

}  // namespace

class TestRtfCodec : public QObject {
    Q_OBJECT
  private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("source");
        QTest::newRow("note in Chinese and Latin")
            << QString::fromUtf8(dataFile(QStringLiteral("note1.html")));
        QTest::newRow("every attribute; GBK names with '\\' and '}' bytes") << QString::fromUtf8(
            "<p align=center><b>粗体</b><i>斜体</i><u>下划线</u><b><i><u>全部</u></i></b></p>"
            "<p align=right><span style=\"font-family:'宋体'\">宋体</span>"
            "<span style=\"font-family:'乗倉 Pro'\">乗</span>"
            "<span style=\"font-family:'Noto Serif CJK SC'; font-size:10.5pt\">小五号</span>"
            "<span style=\"font-family:'Tŵ Sans'; font-size:26pt; color:#0000ff\">Tŵ</span></p>"
            "<p align=justify><span style=\"color:#c00000\">红</span>"
            "<span style=\"color:#c00000; font-size:1pt\">小</span><span>黑</span></p>");
        QTest::newRow("escapes, tabs and line breaks") << QString::fromUtf8(
            "<p style=\"white-space:pre-wrap\">{括号} \\反斜杠\\\t制表\t<br>换行 a&nbsp;b</p>");
        QTest::newRow("outside GBK and outside the BMP")
            << QString::fromUtf8("plain:𠀀😀 ³ é ¥ € ™ ① ﹏ 𝜁");
        QTest::newRow("empty paragraphs at both ends") << QString::fromUtf8("plain:\n中\n\n");
        QTest::newRow("empty document") << QStringLiteral("plain:");
    }
    void roundTrip() {
        QFETCH(QString, source);
        QTextDocument original;
        makeDocument(original, source);
        const QByteArray rtf = writeRtf(original);
        QTextDocument copy;
        const Outcome result = readRtf(rtf, copy);
        QVERIFY(result.ok());
        QVERIFY2(result.warning().isEmpty(), qPrintable(result.warning()));
        QCOMPARE(describe(copy), describe(original));
        // A loaded file saves byte for byte as it was.
        QCOMPARE(writeRtf(copy), rtf);
        QVERIFY(!copy.isModified());
    }

    // pandoc honours \uc2 and skips our GBK bytes, so it shows our text, but for three habits
    // of its own: tabs become spaces, paragraphs lose their outer blanks, and each half of a
    // surrogate pair becomes U+FFFD (the pairs are checked by the round trip above). (unrtf
    // cannot serve here: it skips one byte after \uN whatever \uc says.)
    void pandocReadsOurRtf_data() { roundTrip_data(); }
    void pandocReadsOurRtf() {
        QFETCH(QString, source);
        QTextDocument original;
        makeDocument(original, source);
        const QByteArray plain =
            runTool(QStringLiteral("pandoc"), {"-f", "rtf", "-t", "plain", "--wrap=none"},
                    writeRtf(original));
        QVERIFY2(!plain.isEmpty() || original.isEmpty(), "pandoc gave nothing");
        // A blank line between paragraphs, none for empty ones, a line break as a new line.
        QStringList paragraphs;
        for (QTextBlock block = original.begin(); block.isValid(); block = block.next()) {
            if (!block.text().isEmpty()) paragraphs << block.text();
        }
        QString expected = paragraphs.join(QStringLiteral("\n\n"));
        expected.replace(QChar::LineSeparator, u'\n')
            .replace(QRegularExpression(QStringLiteral("[\\x{10000}-\\x{10FFFF}]")),
                     QStringLiteral("\uFFFD\uFFFD"));
        QCOMPARE(blanksEvened(QString::fromUtf8(plain)), blanksEvened(expected));
    }

    // The bytes after each \uN are what programs without Unicode show: unrtf reads them in
    // code page 936 once the \uN are taken out. Characters GBK lacks show as '?'. The euro
    // sign is left out: unrtf's table of the code page lacks 0x80, which Windows maps to it.
    void unrtfReadsOurFallbackBytes() {
        QTextDocument original;
        original.setHtml(QString::fromUtf8(dataFile(QStringLiteral("note1.html")))
                             .remove(QString::fromUtf8("€ ")));
        // Our RTF is ASCII throughout.
        const QByteArray legacy = QString::fromLatin1(writeRtf(original))
                                      .remove(QRegularExpression(QStringLiteral("\\\\uc?-?[0-9]+")))
                                      .toLatin1();
        const QByteArray out = runTool(QStringLiteral("unrtf"), {QStringLiteral("--text")}, legacy);
        const qsizetype body = out.indexOf("-----------------\n");
        QVERIFY2(body >= 0, out.constData());
        QStringDecoder gbk("GBK");
        const QString text = gbk.decode(out.mid(body + 18));
        QCOMPARE(blanksEvened(text),
                 QString(Note).replace(QString::fromUtf8("m³/h"), QStringLiteral("m?/h")) +
                     QString::fromUtf8(
                         "Local loss of a gate valve: ζ = 0.5, v = 1.2 m/s → Hf = 355.68 Pa.\n"
                         "特殊字符：α β γ ± ≤ ≥ ÷ × “引号” 《书名》 ? — end."));
    }

    void readsOtherProgramsFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("lastParagraphs");
        QTest::addColumn<QString>("bold");
        QTest::addColumn<QString>("italic");
        QTest::addColumn<QString>("alignments");
        const QString latin = QString::fromUtf8(
            "Local loss of a gate valve: ζ = 0.5, v = 1.2 m/s → Hf = 355.68 Pa.\n"
            "特殊字符：α β γ ± ≤ ≥ ÷ × “引号” 《书名》 ¥ € — end.");
        QTest::newRow("LibreOffice") << "note-libreoffice.rtf" << latin << "D=50 mm"
                                     << "L=1000 mm"
                                     << "CLLRLL";
        QTest::newRow("pandoc") << "note-pandoc.rtf" << latin
                                << QString::fromUtf8("空调水系统水力计算记录|D=50 mm")
                                << "L=1000 mm"
                                << "LLLLLL";
        QTest::newRow("WordPad in code page 936")
            << "note-wordpad-gbk.rtf" << QString::fromUtf8("备注：局部阻力系数按进口处动压计算。")
            << QString::fromUtf8("空调水系统水力计算记录")
            << QString::fromUtf8("备注：局部阻力系数按进口处动压计算。") << "CLLRL";
    }
    void readsOtherProgramsFiles() {
        QFETCH(QString, file);
        QFETCH(QString, lastParagraphs);
        QTextDocument document;
        const Outcome result = readRtf(dataFile(file), document);
        QVERIFY(result.ok());
        QVERIFY(result.warning().isEmpty());
        QCOMPARE(textOf(document), Note + lastParagraphs);
        QTEST(runs(document, [](const QTextCharFormat& f) { return f.fontWeight() > 500; }),
              "bold");
        QTEST(runs(document, [](const QTextCharFormat& f) { return f.fontItalic(); }), "italic");
        QCOMPARE(runs(document, [](const QTextCharFormat& f) { return f.fontUnderline(); }),
                 QString::fromUtf8("沿程阻力 Hf = 7.067 Pa"));
        QTEST(alignments(document), "alignments");
    }

    void readsRtfFeatures_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("field result kept, instruction skipped")
            << QByteArray(
                   R"({\rtf1 {\field{\*\fldinst HYPERLINK http://x}{\fldrslt \u38142?\u25509?}}})")
            << QString::fromUtf8("链接");
        QTest::newRow("hidden parts skipped")
            << QByteArray(
                   R"({\rtf1{\stylesheet{\s1 Heading;}}{\info{\title T}}{\header H}{\footer F})"
                   R"({\*\unknown U}{\pict\pngblip 89504e47}{\object{\objdata 0102}}a})")
            << "a";
        QTest::newRow("binary data with braces skipped")
            << QByteArray(R"({\rtf1 a{\pict\bin4 }}{{ b}c})") << "ac";
        QTest::newRow("table cells and rows")
            << QByteArray(
                   R"({\rtf1\trowd\cellx1000\cellx2000 A\cell B\cell\row C\cell D\cell\row})")
            << "A\tB\nC\tD";
        QTest::newRow("code page 1252")
            << QByteArray(R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'93q\'94})")
            << QString::fromUtf8("café “q”");
        QTest::newRow("code page 936 byte pairs split by a line end")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'d6\r\n\\'d0\\'ce\\'c4}")
            << QString::fromUtf8("中文");
        QTest::newRow("font charset overrides the document's code page")
            << QByteArray(
                   R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset134 SimSun;}{\f1\fcharset0 Arial;}})"
                   R"(\f0\'d6\'d0\f1\'e9})")
            << QString::fromUtf8("中é");
        QTest::newRow("\\uc0 and \\uc2")
            << QByteArray(R"({\rtf1 \uc0\u20013\u25991 \uc2\u20013\'d6\'d0x})")
            << QString::fromUtf8("中文中x");
        QTest::newRow("\\uc is scoped by groups")
            << QByteArray(R"({\rtf1 {\uc2 \u20013\'d6\'d0}\u25991?x})")
            << QString::fromUtf8("中文x");
        QTest::newRow("the skip counts a control word as one")
            << QByteArray(R"({\rtf1 \u20013\par x})") << QString::fromUtf8("中x");
        QTest::newRow("negative \\u and surrogate pairs")
            << QByteArray(R"({\rtf1 \u-244?\u-10179?\u-8704?})") << QString::fromUtf8("，😀");
        QTest::newRow("lone surrogate replaced")
            << QByteArray(R"({\rtf1 a\u-10179?b})") << QString::fromUtf8("a\uFFFDb");
        QTest::newRow("special characters")
            << QByteArray(R"({\rtf1 a\~b\emdash c\line d\tab e\_f\lquote g\rquote})")
            << QString::fromUtf8("a\u00A0b—c\u2028d\te\u2011f‘g’");
        QTest::newRow("the last \\par ends the last paragraph")
            << QByteArray(R"({\rtf1 a\par b\par})") << "a\nb";
        QTest::newRow("an empty last paragraph") << QByteArray(R"({\rtf1 a\par\par})") << "a\n";
        QTest::newRow("font table without groups, names in code page 936")
            << QByteArray(
                   R"({\rtf1\ansi\ansicpg936{\fonttbl\f0\fnil \'cb\'ce\'cc\'e5;\f1\fswiss Arial;}\f0 x})")
            << "x";
    }
    void readsRtfFeatures() {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        const Outcome result = readRtf(rtf, document);
        QVERIFY(result.ok());
        QTEST(textOf(document), "text");
    }

    // Formatting is scoped by groups; \plain and \pard reset it; a last paragraph without \par
    // keeps what is in force at the end of the document.
    void characterFormattingFollowsGroups() {
        QTextDocument document;
        QVERIFY(
            readRtf(R"({\rtf1{\fonttbl{\f0 Arial;}{\f1\fcharset134 \'cb\'ce\'cc\'e5;}})"
                    R"({\colortbl;\red255\green0\blue0;}\qc\b B{\i\ul\f1\fs21\cf1 I}B\plain P\par)"
                    R"(\pard R\par\pard\qr\i E})",
                    document)
                .ok());
        QCOMPARE(describe(document),
                 QString::fromUtf8("C [b-- Arial 12pt auto] B [biu 宋体 10.5pt #ff0000] I "
                                   "[b-- Arial 12pt auto] B [--- Arial 12pt auto] P\n"
                                   "L [--- Arial 12pt auto] R\n"
                                   "R [-i- Arial 12pt auto] E"));
    }

    void hostileInput_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << true << true << "";
        QTest::newRow("missing header")
            << QByteArray("plain words") << true << true << "plain words";
        QTest::newRow("extra closing brace") << QByteArray(R"({\rtf1 a}b})") << true << true << "a";
        QTest::newRow("truncated in a group")
            << QByteArray(R"({\rtf1 {\b abc)") << true << true << "abc";
        QTest::newRow("truncated in \\u") << QByteArray(R"({\rtf1 x\u2)") << true << true << "x";
        QTest::newRow("lone \\' at the end") << QByteArray(R"({\rtf1 a\')") << true << true << "a";
        QTest::newRow("one hex digit at the end")
            << QByteArray(R"({\rtf1 a\'4)") << true << true << "a";
        QTest::newRow("huge numbers")
            << QByteArray(R"({\rtf1 \fs99999999999 \cf99999999999 \f-99999999999 \u99999999999?)"
                          R"(a{\uc99999999999 \u20013 skipped}b\u-99999999999?c})")
            << true << false << QString::fromUtf8("a中bc");
        QTest::newRow("absurd \\bin")
            << QByteArray(R"({\rtf1 a\bin99999999999 xyz})") << true << true << "a";
        QTest::newRow("negative \\bin")
            << QByteArray(R"({\rtf1 a\bin-5 b})") << true << false << "ab";
        QTest::newRow("control bytes")
            << QByteArray("{\\rtf1 a\0b\\'01c\x7f}", 17) << true << false << "abc\x7f";
        QTest::newRow("endless keyword")
            << "{\\rtf1 a\\" + QByteArray(100000, 'x') + "1 b}" << true << false << "ab";
        QTest::newRow("endless number")
            << "{\\rtf1 a\\fs" + QByteArray(100000, '9') + " b}" << true << false << "ab";
        QTest::newRow("nested to the limit") << "{\\rtf1 " + QByteArray(RtfMaxGroupDepth - 1, '{') +
                                                    "a" + QByteArray(RtfMaxGroupDepth, '}')
                                             << true << false << "a";
        QTest::newRow("nested past the limit") << QByteArray(RtfMaxGroupDepth + 1, '{') << false
                                               << false << QString::fromUtf8("原有内容");
        QTest::newRow("nested past the limit inside a skipped part")
            << "{\\rtf1{\\*\\x" + QByteArray(RtfMaxGroupDepth, '{') << false << false
            << QString::fromUtf8("原有内容");
    }
    void hostileInput() {
        QFETCH(QByteArray, rtf);
        QFETCH(bool, ok);
        QFETCH(bool, warned);
        QTextDocument document(QString::fromUtf8("原有内容"));
        const Outcome result = readRtf(rtf, document);
        QCOMPARE(result.ok(), ok);
        QCOMPARE(result.reason().isEmpty(), ok);
        QCOMPARE(!result.warning().isEmpty(), warned);
        QTEST(textOf(document), "text");
    }

    // About 2 MB: it must finish and keep every paragraph (timings belong in benchmarks).
    void largeFileIsReadWhole() {
        QByteArray rtf =
            R"({\rtf1\ansi\ansicpg936{\fonttbl{\f0 Arial;}{\f1\fcharset134 \'cb\'ce\'cc\'e5;}})";
        const int paragraphs = 20000;
        for (int i = 0; i < paragraphs; ++i) {
            rtf += "\\pard\\qc Line " + QByteArray::number(i) +
                   R"( {\b\f1 \uc2\u31354\'bf\'d5\u-29693\'b5\'f7} plain text of the paragraph,)"
                   R"( 0123456789 {\i italic} and more\par)"
                   "\n";
        }
        rtf += "}";
        QVERIFY(rtf.size() > 2'000'000);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document).ok());
        QCOMPARE(document.blockCount(), paragraphs);
        QCOMPARE(document.findBlockByNumber(paragraphs - 1).text(),
                 QString::fromUtf8("Line 19999 空调 plain text of the paragraph, 0123456789 "
                                   "italic and more"));
    }

    void pasteSelection_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("pasted");
        QTest::newRow("inside a paragraph") << "abc\ndef" << 1 << 3 << QString::fromUtf8("甲bc乙");
        QTest::newRow("up to and with the paragraph mark")
            << "abc\ndef" << 1 << 4 << QString::fromUtf8("甲bc\n乙");
        QTest::newRow("across paragraphs")
            << "abc\ndef" << 2 << 6 << QString::fromUtf8("甲c\nde乙");
        QTest::newRow("whole document")
            << "abc\ndef" << 0 << 7 << QString::fromUtf8("甲abc\ndef乙");
        QTest::newRow("empty selection") << "abc" << 1 << 1 << QString::fromUtf8("甲乙");
    }
    void pasteSelection() {
        QFETCH(QString, source);
        QFETCH(int, from);
        QFETCH(int, to);
        QTextDocument original(source);
        QTextCursor selection(&original);
        selection.setPosition(from);
        selection.setPosition(to, QTextCursor::KeepAnchor);

        QTextDocument target(QString::fromUtf8("甲X乙"));
        QTextCursor cursor(&target);
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        QVERIFY(insertRtf(writeRtf(selection), cursor).ok());
        QTEST(textOf(target), "pasted");
        // One paste, one undo step.
        target.undo();
        QCOMPARE(textOf(target), QString::fromUtf8("甲X乙"));
    }

    // The pasted paragraph mark carries its alignment; the rest of the line keeps its own.
    void pasteKeepsAlignmentOfWholeParagraphs() {
        QTextDocument target;
        target.setHtml(QStringLiteral("<p align=right>AB</p>"));
        QTextCursor cursor(&target);
        cursor.setPosition(1);
        QVERIFY(insertRtf(R"({\rtf1 \qc x\par\pard y})", cursor).ok());
        QCOMPARE(textOf(target), QStringLiteral("Ax\nyB"));
        QCOMPARE(alignments(target), QStringLiteral("CR"));
    }
};

QTEST_MAIN(TestRtfCodec)
#include "test_rtfcodec.moc"
