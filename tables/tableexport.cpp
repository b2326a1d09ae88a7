#include "tables/tableexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstring>

#include "platform/outcome.h"
#include "platform/prompter.h"

namespace {

const QString Title = QStringLiteral("提示");
const QString ReplaceQuestion = QStringLiteral("文件“%1”已存在，要替换它吗？");
const QString ChooseAnother = QStringLiteral("是否另选保存位置？");
const QString DialogTitle = QStringLiteral("保存");
const QString DialogFilter =
    QStringLiteral("Excel 工作簿 (*.xls)|*.xls|Excel 工作簿 (*.xlsx)|*.xlsx");

// What follows the last folder separator of either system.
QString fileNamePart(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

}  // namespace

QString exportFailureText(const tablefiles::WriteResult& result, const QString& path,
                          std::size_t rows) {
    using tablefiles::WriteFailure;
    QString reason;
    switch (result.failure) {
        case WriteFailure::None:
            return {};
        case WriteFailure::DriveLetter:
            reason =
                QStringLiteral("路径以驱动器号“%1”开头，本系统没有驱动器号。").arg(path.left(2));
            break;
        case WriteFailure::FolderMissing:
            reason = QStringLiteral("文件夹“%1”不存在。")
                         .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
            break;
        case WriteFailure::IsFolder:
            reason = QStringLiteral("这是一个文件夹，不能作为文件保存。");
            break;
        case WriteFailure::PermissionDenied:
            reason = QStringLiteral("没有写入权限（文件夹或文件是只读的）。");
            break;
        case WriteFailure::NoSpace:
            reason = QStringLiteral("磁盘空间不足。");
            break;
        case WriteFailure::TooManyRows:
            reason =
                QStringLiteral(
                    "Excel 97-2003 工作簿（.xls）的一张工作表最多 65536 行，除表头和总计外最多"
                    "只能保存 65534 行记录，而表格有 %1 行。请把文件名的扩展名改为 .xlsx 再保存。")
                    .arg(rows);
            break;
        case WriteFailure::CellTooLong:
            reason = QStringLiteral("有一行的文字超过了工作簿单元格允许的 32767 个字符。");
            break;
        case WriteFailure::Other:
            reason = systemReason(result.systemError);
            break;
    }
    return QStringLiteral("无法保存文件“%1”：%2").arg(path, reason);
}

std::optional<QString> exportTable(Prompter& prompter, TableKind kind,
                                   const std::vector<ResultRowTexts>& rows,
                                   const QString& totalText, const QString& path) {
    const std::vector<tablefiles::Cell> cells =
        tablefiles::resultTableCells(kind, rows, totalText.toStdString());
    QString target = path;
    for (;;) {
        const QFileInfo info(target);
        if (info.exists() && !info.isDir() &&
            prompter.ask(ReplaceQuestion.arg(target), Title, PromptButtons::YesNo) !=
                PromptAnswer::Yes)
            return std::nullopt;
        const tablefiles::WriteResult result = tablefiles::writeWorkbook(
            QFile::encodeName(target).toStdString(), tablefiles::defaultSheetName(), cells,
            tablefiles::workbookFormatFor(target.toStdString()));
        if (result.ok()) return target;

        const QString failure = exportFailureText(result, target, rows.size());
        const bool elsewhere = result.failure == tablefiles::WriteFailure::DriveLetter ||
                               result.failure == tablefiles::WriteFailure::FolderMissing;
        if (!elsewhere) {
            prompter.ask(failure, Title, PromptButtons::Ok);
            return std::nullopt;
        }
        if (prompter.ask(failure + QLatin1Char('\n') + ChooseAnother, Title,
                         PromptButtons::YesNo) != PromptAnswer::Yes)
            return std::nullopt;
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString chosen = prompter.saveFileName(
            DialogTitle, DialogFilter, QDir(documents).filePath(fileNamePart(target)));
        if (chosen.isEmpty()) return std::nullopt;
        target = chosen;
    }
}
