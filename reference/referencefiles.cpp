#include "reference/referencefiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

// Resources of a static library are registered by hand, outside any namespace.
static void registerShippedData() { Q_INIT_RESOURCE(referencedata); }

namespace {

ReferenceDatabaseFile shippedFile(const QString& fileName, const QStringList& tables,
                                  const QString& shippedFolder) {
    registerShippedData();
    ReferenceDatabaseFile file{fileName, {}};
    const QDir folder(shippedFolder);
    for (const QString& table : tables) {
        const QString installed = folder.filePath(table + QStringLiteral(".csv"));
        file.tables.append({table, !shippedFolder.isEmpty() && QFileInfo(installed).isFile()
                                       ? installed
                                       : QStringLiteral(":/reference-data/%1.csv").arg(table)});
    }
    return file;
}

}  // namespace

QString installedDataFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/quorvel"));
}

ReferenceDatabaseFile lookupDatabaseFile(const QString& shippedFolder) {
    return shippedFile(QStringLiteral("供查数据库.sqlite"),
                       {QStringLiteral("矩形风管规格"), QStringLiteral("粗糙度"),
                        QStringLiteral("空气管道内推荐风速值"), QStringLiteral("推荐风管风速"),
                        QStringLiteral("推荐水速")},
                       shippedFolder);
}

ReferenceDatabaseFile equipmentDatabaseFile(const QString& shippedFolder) {
    ReferenceDatabaseFile file = shippedFile(QStringLiteral("供查数据库97.sqlite"),
                                             {QStringLiteral("设备阻力损失")}, shippedFolder);
    file.tables.first().requiredColumns = {QStringLiteral("序号"), QStringLiteral("设备名称"),
                                           QStringLiteral("阻力值（kPa）"), QStringLiteral("备注")};
    return file;
}
