#include "notebook/notebookfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"
#include "richtext/textfiledecode.h"

namespace {

constexpr const char* TooLarge = "文件太大（超过 %1 MB），笔记本无法打开。";
constexpr const char* NotAFile = "这不是一个文件。";

}  // namespace

Outcome readNotebookFile(const QString& path, QTextDocument& document) {
    const QFileInfo info(path);
    // A device such as /dev/zero would be read without end; a folder is no document either.
    if (info.exists() && !info.isFile()) return Outcome::failed(QString::fromUtf8(NotAFile));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Outcome::failed(file.errorString());
    if (file.size() > NotebookFileMaxBytes) {
        return Outcome::failed(
            QString::fromUtf8(TooLarge).arg(NotebookFileMaxBytes / (1024 * 1024)));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return Outcome::failed(file.errorString());

    const NotebookFileContent content = decodeNotebookFile(bytes);
    if (!content.outcome.ok()) return content.outcome;
    if (content.kind == NotebookFileContent::Kind::Rtf) return readRtf(content.rtf, document);
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.setPlainText(content.text);
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
    return Outcome::done();
}

Outcome writeNotebookFile(const QString& path, const QTextDocument& document,
                          NotebookFileFormat format) {
    const QByteArray bytes =
        format == NotebookFileFormat::Rtf ? writeRtf(document) : plainTextFileBytes(document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return Outcome::failed(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Outcome::failed(reason);
    }
    if (!file.commit()) return Outcome::failed(file.errorString());
    return Outcome::done();
}
