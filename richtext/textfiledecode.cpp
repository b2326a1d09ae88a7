#include "richtext/textfiledecode.h"

#include <QStringDecoder>
#include <QTextDocument>
#include <algorithm>

namespace {

constexpr const char* BinaryFileMessage =
    "文件不是文本文件，也不是 RTF 文件（可能是其他程序的二进制文档）。";
constexpr const char* UnknownEncoding = "文件不是 UTF-8 或 GB18030 编码的文本，无法识别。";

#ifdef Q_OS_WIN
constexpr const char* LineEnd = "\r\n";
#else
constexpr const char* LineEnd = "\n";
#endif

bool startsWith(const QByteArray& bytes, std::initializer_list<uchar> prefix) {
    return bytes.size() >= qsizetype(prefix.size()) &&
           std::equal(prefix.begin(), prefix.end(), bytes.cbegin(),
                      [](uchar a, char b) { return a == uchar(b); });
}

// Text files hold no control characters but tab, line feed, form feed and carriage return.
// In UTF-8 and GB18030 every byte below 0x20 is that character itself, so bytes can be checked.
bool hasBinaryControl(const QByteArray& bytes) {
    return std::any_of(bytes.cbegin(), bytes.cend(), [](char c) {
        const uchar u = uchar(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\f' && u != '\r';
    });
}

QString paragraphsOf(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

NotebookFileContent plainText(QString text) {
    NotebookFileContent content;
    content.kind = NotebookFileContent::Kind::PlainText;
    content.text = paragraphsOf(std::move(text));
    return content;
}

NotebookFileContent unreadable(const char* reason) {
    NotebookFileContent content;
    content.outcome = Outcome::failed(QString::fromUtf8(reason));
    return content;
}

std::optional<QString> decodeStrictly(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

std::optional<QString> decodeStrictly(const char* codec, QByteArrayView bytes) {
    QStringDecoder decoder(codec, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

}  // namespace

NotebookFileContent decodeNotebookFile(const QByteArray& bytes) {
    // UTF-16 files (what Windows editors call "Unicode") are NUL-ridden by nature, so their
    // byte-order mark is trusted before any check for binary content.
    if (startsWith(bytes, {0xFF, 0xFE}) || startsWith(bytes, {0xFE, 0xFF})) {
        const auto encoding =
            uchar(bytes[0]) == 0xFF ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        if (auto text = decodeStrictly(encoding, QByteArrayView(bytes).sliced(2))) {
            if (!text->contains(QChar(0))) return plainText(*std::move(text));
        }
        return unreadable(BinaryFileMessage);
    }

    const bool utf8Bom = startsWith(bytes, {0xEF, 0xBB, 0xBF});
    const QByteArrayView body = QByteArrayView(bytes).sliced(utf8Bom ? 3 : 0);
    if (body.trimmed().startsWith("{\\rtf")) {
        NotebookFileContent content;
        content.kind = NotebookFileContent::Kind::Rtf;
        content.rtf = body.toByteArray();
        return content;
    }
    // A compound file (older word-processor and spreadsheet documents) starts D0 CF 11 E0; its
    // header has NUL bytes, so the control check below refuses it.
    if (hasBinaryControl(bytes)) return unreadable(BinaryFileMessage);
    if (auto text = decodeStrictly(QStringConverter::Utf8, body)) {
        return plainText(*std::move(text));
    }
    if (auto text = decodeStrictly("GB18030", body)) return plainText(*std::move(text));
    return unreadable(UnknownEncoding);
}

QByteArray plainTextFileBytes(const QTextDocument& document) {
    // toRawText keeps no-break spaces, which toPlainText would turn into plain ones.
    QString text = document.toRawText();
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0x2029 || u == 0x2028) {
            out += QLatin1String(LineEnd);
        } else if (u != 0xFFFC && u != 0xFDD0 && u != 0xFDD1) {
            out += c;
        }
    }
    return out.toUtf8();
}
