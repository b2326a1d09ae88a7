#include "reference/referencefiles.h"

#include <QStringList>

// Resources of a static library are registered by hand, outside any namespace.
static void registerShippedData() { Q_INIT_RESOURCE(referencedata); }

namespace {

// The shipped rows of each table are data/<table>.csv, built into the program.
ReferenceDatabaseFile shippedFile(const QString& fileName, const QStringList& tables) {
    registerShippedData();
    ReferenceDatabaseFile file{fileName, {}};
    for (const QString& table : tables)
        file.tables.append({table, QStringLiteral(":/reference-data/%1.csv").arg(table)});
    return file;
}

}  // namespace

ReferenceDatabaseFile lookupDatabaseFile() {
    return shippedFile(QStringLiteral("供查数据库.sqlite"),
                       {QStringLiteral("矩形风管规格"), QStringLiteral("粗糙度"),
                        QStringLiteral("空气管道内推荐风速值"), QStringLiteral("推荐风管风速"),
                        QStringLiteral("推荐水速")});
}

ReferenceDatabaseFile equipmentDatabaseFile() {
    return shippedFile(QStringLiteral("供查数据库97.sqlite"), {QStringLiteral("设备阻力损失")});
}
