#include "platform/workbookmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

QStringList workbookModulePaths() {
    return {QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral(QUORVEL_WORKBOOK_MODULE_INSTALLED)),
            QStringLiteral(QUORVEL_WORKBOOK_MODULE_BUILT)};
}

WorkbookWriterLoad loadWorkbookWriter(const QStringList& paths) {
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path)) continue;
        QLibrary module(path);
        if (!module.load()) return {nullptr, Outcome::failed(module.errorString())};
        // A library loaded already (or not ours) leaves no error text when it lacks the entry.
        using Entry = tablefiles::WorkbookWriter (*)();
        const auto entry = reinterpret_cast<Entry>(module.resolve(tablefiles::WorkbookWriterEntry));
        if (const tablefiles::WorkbookWriter write = entry ? entry() : nullptr)
            return {write, Outcome::done()};
        return {nullptr, Outcome::failed(QStringLiteral("文件“%1”不是本程序的工作簿模块")
                                             .arg(QDir::toNativeSeparators(path)))};
    }
    const QString expected = paths.isEmpty() ? QString() : QDir::cleanPath(paths.first());
    return {nullptr, Outcome::failed(
                         QStringLiteral("找不到文件“%1”").arg(QDir::toNativeSeparators(expected)))};
}
