#include <QFile>
#include <QTextDocument>
#include <QtTest>

#include "richtext/textfiledecode.h"

using Kind = NotebookFileContent::Kind;

namespace {

QByteArray dataFile(const QString& name) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}

const QString NoteLines = QString::fromUtf8(
    "空调水系统水力计算记录\n"
    "工程：某办公楼空调水系统，冷水供回水温度 7/12 ℃。\n"
    "管段 1：直径 D=50 mm，长度 L=1000 mm，流量 G=1 m³/h，粗糙度 K=0.2 mm。\n");

}  // namespace

class TestTextFileDecode : public QObject {
    Q_OBJECT
  private slots:
    void decides_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        const int text = int(Kind::PlainText);
        const int unreadable = -1;
        QTest::newRow("UTF-8") << dataFile("note-utf8.txt") << text << NoteLines;
        QTest::newRow("UTF-8 with BOM") << dataFile("note-utf8-bom.txt") << text << NoteLines;
        QTest::newRow("GB18030 with CR LF, four-byte ³")
            << dataFile("note-gb18030.txt") << text << NoteLines;
        QTest::newRow("UTF-16LE with BOM")
            << QByteArray("\xff\xfe\x2d\x4e\x0d\x00\x0a\x00\x87\x65", 10) << text
            << QString::fromUtf8("中\n文");
        QTest::newRow("CR only, form feed and tab kept")
            << QByteArray("a\rb\r\rc\f\td") << text << "a\nb\n\nc\f\td";
        QTest::newRow("empty") << QByteArray() << text << "";
        QTest::newRow("word processor's binary document")
            << dataFile("note-word97.doc") << unreadable << "";
        QTest::newRow("NUL in otherwise good text")
            << QByteArray("abc\0def", 7) << unreadable << "";
        QTest::newRow("bytes that are neither UTF-8 nor GB18030")
            << QByteArray("ab\xff\xff") << unreadable << "";
        QTest::newRow("lone lead byte at the end")
            << QByteArray("\xd6\xd0\xd6") << unreadable << "";
        QTest::newRow("RTF after a UTF-8 BOM and blank lines")
            << QByteArray("\xef\xbb\xbf\r\n {\\rtf1 x}") << int(Kind::Rtf) << "";
        QTest::newRow("RTF from WordPad")
            << dataFile("note-wordpad-gbk.rtf") << int(Kind::Rtf) << "";
        QTest::newRow("text that mentions RTF later")
            << QByteArray("see {\\rtf1}") << text << "see {\\rtf1}";
    }
    void decides() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        const NotebookFileContent content = decodeNotebookFile(bytes);
        QCOMPARE(content.outcome.ok(), kind >= 0);
        QCOMPARE(content.outcome.reason().isEmpty(), content.outcome.ok());
        if (kind >= 0) QCOMPARE(int(content.kind), kind);
        QTEST(content.text, "text");
        if (kind == int(Kind::Rtf)) QVERIFY(content.rtf.trimmed().startsWith("{\\rtf1"));
    }

    void plainTextFileIsUtf8WithoutBom() {
        QTextDocument document;
        document.setHtml(QString::fromUtf8("<p>管段&nbsp;1</p><p>a<br>b</p><p></p>"));
        const QByteArray bytes = plainTextFileBytes(document);
        QCOMPARE(bytes, QString::fromUtf8("管段\u00a01\na\nb\n").toUtf8());
        // And it opens as the same paragraphs.
        QCOMPARE(decodeNotebookFile(bytes).text, QString::fromUtf8("管段\u00a01\na\nb\n"));
    }
};

QTEST_MAIN(TestTextFileDecode)
#include "test_textfiledecode.moc"
