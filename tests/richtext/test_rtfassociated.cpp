// Bold, italic, underline, size and face of double-byte runs, as the associated character
// properties give them.
//
// Each associated-*.rtf has beside it the same file as LibreOffice 7.4 reads it
// (soffice --headless --convert-to fodt). associated-libreoffice.rtf was written by LibreOffice
// from associated-libreoffice-source.fodt; associated-word.rtf is in the form Word writes
// (\b with \rtlch\ab and \dbch\af, Chinese as GBK bytes); associated-edges.rtf holds the
// orders of keywords other writers produce.

#include <QFile>
#include <QHash>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QXmlStreamReader>

#include "richtext/rtfreader.h"

namespace {

QByteArray readData(const QString& name) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}

// What a character looks like; a face or size the reader's file leaves to its styles is
// empty or 0 and not compared.
struct Look {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double points = 0;
    QString face;
};

// The Chinese characters of the samples; the rest is Latin.
bool isHan(QChar c) { return c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF; }

using Properties = QHash<QString, QString>;

// One paragraph as LibreOffice read it: its text and each character's look.
struct ReadParagraph {
    QString text;
    QList<Look> looks;
};

Look lookOf(const Properties& p, QChar c, const QHash<QString, QString>& faces) {
    const bool han = isHan(c);
    const auto pick = [&](const QString& western, const QString& asian) {
        return p.value(han ? asian : western);
    };
    Look look;
    look.bold = pick("fo:font-weight", "style:font-weight-asian") == "bold";
    look.italic = pick("fo:font-style", "style:font-style-asian") == "italic";
    const QString underline = p.value("style:text-underline-style");
    look.underline = !underline.isEmpty() && underline != "none";
    QString size = pick("fo:font-size", "style:font-size-asian");
    size.chop(2);  // "pt"
    look.points = size.toDouble();
    look.face = faces.value(pick("style:font-name", "style:font-name-asian"));
    return look;
}

QList<ReadParagraph> readFlatOdt(const QByteArray& xml) {
    QHash<QString, Properties> styles;
    QHash<QString, QString> faces;  // style name of a face → its family
    QList<ReadParagraph> paragraphs;
    QString styleName;
    QList<Properties> open;  // the paragraph's and the spans' properties, innermost last
    QXmlStreamReader reader(xml);
    const auto addText = [&](const QString& text) {
        Properties merged;
        for (const Properties& p : open)
            for (auto it = p.begin(); it != p.end(); ++it) merged.insert(it.key(), it.value());
        for (QChar c : text) {
            paragraphs.last().text += c;
            paragraphs.last().looks << lookOf(merged, c, faces);
        }
    };
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.qualifiedName().toString();
        const auto attributes = reader.attributes();
        if (reader.isStartElement()) {
            if (name == "style:font-face") {
                QString family = attributes.value("svg:font-family").toString();
                family.remove(QLatin1Char('\''));
                faces.insert(attributes.value("style:name").toString(), family);
            } else if (name == "style:style") {
                styleName = attributes.value("style:name").toString();
            } else if (name == "style:text-properties" && !styleName.isEmpty()) {
                for (const auto& a : attributes)
                    styles[styleName].insert(a.qualifiedName().toString(), a.value().toString());
            } else if (name == "text:p" || name == "text:span") {
                if (name == "text:p") {
                    paragraphs << ReadParagraph();
                    open.clear();
                }
                open << styles.value(attributes.value("text:style-name").toString());
            } else if (name == "text:s") {
                const int count = std::max(1, attributes.value("text:c").toInt());
                addText(QString(count, QLatin1Char(' ')));
            }
        } else if (reader.isEndElement()) {
            if (name == "style:style") styleName.clear();
            if (name == "text:span") open.removeLast();
            if (name == "text:p") open.clear();
        } else if (reader.isCharacters() && !open.isEmpty() && !paragraphs.isEmpty()) {
            addText(reader.text().toString());
        }
    }
    if (reader.hasError()) qFatal("unreadable flat ODT: %s", qPrintable(reader.errorString()));
    return paragraphs;
}

QString describe(const Look& look) {
    return QStringLiteral("%1%2%3 %4pt %5")
        .arg(look.bold ? "B" : "-", look.italic ? "I" : "-", look.underline ? "U" : "-")
        .arg(look.points)
        .arg(look.face);
}

}  // namespace

class RtfAssociatedTest : public QObject {
    Q_OBJECT
  private slots:
    void asLibreOfficeReadsIt_data() {
        QTest::addColumn<QString>("stem");
        QTest::newRow("written by LibreOffice") << "associated-libreoffice";
        QTest::newRow("Word's form") << "associated-word";
        QTest::newRow("keyword orders") << "associated-edges";
    }

    // Every character has the bold, italic, underline, size and face LibreOffice gives it.
    void asLibreOfficeReadsIt() {
        QFETCH(QString, stem);
        const QList<ReadParagraph> expected = readFlatOdt(readData(stem + ".fodt"));
        QTextDocument document;
        QVERIFY(readRtf(readData(stem + ".rtf"), document).ok());
        QCOMPARE(document.blockCount(), expected.size());
        int p = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++p) {
            const ReadParagraph& want = expected[p];
            QCOMPARE(block.text(), want.text);
            int i = 0;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QTextCharFormat format = fragment.charFormat();
                for (int k = 0; k < fragment.length(); ++k, ++i) {
                    const Look& look = want.looks[i];
                    Look got;
                    got.bold = format.fontWeight() >= QFont::Bold;
                    got.italic = format.fontItalic();
                    got.underline = format.fontUnderline();
                    got.points = look.points > 0 ? format.fontPointSize() : 0;
                    got.face = look.face.isEmpty() || format.fontFamilies().toStringList().isEmpty()
                                   ? look.face
                                   : format.fontFamilies().toStringList().first();
                    const QString where = QStringLiteral("paragraph %1, “%2” at %3")
                                              .arg(p + 1)
                                              .arg(want.text[i])
                                              .arg(i);
                    QVERIFY2(
                        describe(got) == describe(look),
                        qPrintable(where + ": " + describe(got) + " instead of " + describe(look)));
                }
            }
        }
    }

    // Where LibreOffice keeps a property apart that a word processor shows on the text.
    void doubleByteRuns_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("text");
        // Font 1 is a Chinese face (\fcharset134), font 0 a Latin one.
        QTest::newRow("\\hich in a Chinese face")
            << QByteArray("{\\hich\\af1\\ab \\u20013?}") << true << false << "KaiTi"
            << QStringLiteral("中");
        QTest::newRow("\\hich in a Latin face")
            << QByteArray("{\\hich\\af0\\ab \\u20013?}") << false << false << "Times"
            << QStringLiteral("中");
        QTest::newRow("\\aul on \\dbch") << QByteArray("{\\dbch\\aul\\af1 \\u20013?}") << false
                                         << true << "KaiTi" << QStringLiteral("中");
        QTest::newRow("\\aulnone after \\ul") << QByteArray("{\\ul\\dbch\\aulnone \\u20013?}")
                                              << false << false << "Times" << QStringLiteral("中");
        QTest::newRow("right-to-left properties")
            << QByteArray("{\\rtlch\\ab\\aul\\af1 \\ltrch \\u20013?}") << false << false << "Times"
            << QStringLiteral("中");
        QTest::newRow("\\plain forgets the Chinese face")
            << QByteArray("{\\dbch\\af1\\plain\\dbch \\u20013?}") << false << false << "Times"
            << QStringLiteral("中");
        QTest::newRow("GBK bytes in the \\dbch face")
            << QByteArray("{\\dbch\\af1\\ab \\'d6\\'d0}") << true << false << "KaiTi"
            << QStringLiteral("中");
        QTest::newRow("an ideograph beyond the first plane")
            << QByteArray("{\\dbch\\af1 \\u-10176?\\u-9216?}") << false << false << "KaiTi"
            << QString::fromUcs4(U"\U00020000", 1);
        QTest::newRow("an emoji keeps the Latin face")
            << QByteArray("{\\dbch\\af1 \\u-10179?\\u-8704?}") << false << false << "Times"
            << QString::fromUcs4(U"\U0001F600", 1);
    }

    void doubleByteRuns() {
        QFETCH(QByteArray, body);
        QFETCH(bool, bold);
        QFETCH(bool, underline);
        QFETCH(QString, face);
        QFETCH(QString, text);
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times;}"
                        "{\\f1\\fnil\\fcharset134 KaiTi;}}" +
                            body + "}",
                        document)
                    .ok());
        QCOMPARE(document.toPlainText(), text);
        const QTextCharFormat format = document.begin().begin().fragment().charFormat();
        QCOMPARE(format.fontWeight() >= QFont::Bold, bold);
        QCOMPARE(format.fontUnderline(), underline);
        QCOMPARE(format.fontFamilies().toStringList().value(0), face);
    }
};

QTEST_MAIN(RtfAssociatedTest)
#include "test_rtfassociated.moc"
