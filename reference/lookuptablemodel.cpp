#include "reference/lookuptablemodel.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include "reference/referencedatabase.h"

namespace {

// Marks in the row selector: a row whose edits are not stored yet, and the row for appending.
const QString PendingMark = QStringLiteral("✎");
const QString AppendMark = QStringLiteral("*");

const QString ChangedMeanwhile = QStringLiteral("这一行已被另一个程序修改或删除");

// Null whatever its type, otherwise equal in type and value: the text "3" is not the number 3.
bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
    return a.typeId() == b.typeId() && a == b;
}

bool sameValues(const QVariantList& a, const QVariantList& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameValue);
}

QVariantList valuesOf(const QSqlQuery& query, int columns) {
    QVariantList values;
    for (int c = 0; c < columns; ++c) {
        const QVariant v = query.value(c);
        values << (v.isNull() ? QVariant() : v);
    }
    return values;
}

}  // namespace

LookupTableModel::LookupTableModel(const QSqlDatabase& db, const QString& table, QObject* parent)
    : QAbstractTableModel(parent), db_(db), table_(table) {}

Outcome LookupTableModel::load() {
    beginResetModel();
    rows_.clear();
    columns_.clear();
    QString reason;
    {
        QSqlQuery query(db_);
        query.setForwardOnly(true);
        // No ORDER BY: the rows come in the table's own order.
        if (query.exec(QStringLiteral("SELECT * FROM %1").arg(quoted(table_)))) {
            const QSqlRecord record = query.record();
            for (int c = 0; c < record.count(); ++c) columns_ << record.fieldName(c);
            while (query.next()) {
                Row row;
                row.stored = valuesOf(query, int(columns_.size()));
                row.edited = row.stored;
                rows_ << row;
            }
        }
        if (query.lastError().isValid()) reason = sqlFailureReason(query.lastError());
    }
    keyColumn_ = int(columns_.indexOf(ReferenceKeyColumn));
    if (!reason.isEmpty()) {
        rows_.clear();
        columns_.clear();
    }
    endResetModel();
    if (reason.isEmpty()) return Outcome::done();
    return Outcome::failed(QStringLiteral("数据表“%1”无法读取：%2。").arg(table_, reason));
}

bool LookupTableModel::isPending(int row) const {
    return row >= 0 && row < rows_.size() && rows_[row].pending;
}

int LookupTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || columns_.isEmpty()) return 0;
    return int(rows_.size()) + 1;
}

int LookupTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant LookupTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columns_.size()) return {};
    const int c = index.column();
    if (role == IntegerColumnRole) return c == keyColumn_;
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    if (index.row() >= rows_.size())
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    const QVariant& value = rows_[index.row()].edited[c];
    if (value.isNull()) return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    // Texts as stored, never through a number format that could round them.
    if (role == Qt::EditRole && c == keyColumn_) return value;
    return value.toString();
}

QVariant LookupTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columns_.size() ? QVariant(columns_[section]) : QVariant();
    if (section == rows_.size()) return AppendMark;
    return isPending(section) ? PendingMark : QString();
}

Qt::ItemFlags LookupTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    // Without its key a row could not be found again to be written.
    if (keyColumn_ >= 0) flags |= Qt::ItemIsEditable;
    return flags;
}

bool LookupTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int r = index.row();
    const int c = index.column();
    // An empty cell holds no value. The key is stored as a whole number when it reads as one;
    // anything else is passed on for the database to refuse.
    QVariant typed;
    const QString text = value.toString();
    if (c == keyColumn_) {
        bool whole = false;
        const qlonglong number = text.trimmed().toLongLong(&whole);
        if (!text.trimmed().isEmpty()) typed = whole ? QVariant(number) : QVariant(text);
    } else if (!text.isEmpty()) {
        typed = text;
    }

    if (r == rows_.size()) {
        if (typed.isNull()) return false;
        Row row;
        for (int i = 0; i < columns_.size(); ++i) row.stored << QVariant();
        row.edited = row.stored;
        row.edited[c] = typed;
        row.pending = true;
        row.added = true;
        beginInsertRows(QModelIndex(), r + 1, r + 1);
        rows_ << row;
        endInsertRows();
        emit dataChanged(index, index);
        emit headerDataChanged(Qt::Vertical, r, r + 1);
        return true;
    }

    Row& row = rows_[r];
    if (sameValue(row.edited[c], typed)) return true;
    row.edited[c] = typed;
    row.pending = row.added || !sameValues(row.edited, row.stored);
    emit dataChanged(index, index);
    emit headerDataChanged(Qt::Vertical, r, r);
    return true;
}

Outcome LookupTableModel::submitRow(int r) {
    if (!isPending(r)) return Outcome::done();
    Row& row = rows_[r];
    const bool adding = row.added;
    if (adding && std::all_of(row.edited.begin(), row.edited.end(),
                              [](const QVariant& v) { return v.isNull(); })) {
        dropRow(r);
        return Outcome::done();
    }
    const Outcome written = adding ? insertRow(row) : updateRow(row);
    if (written.ok()) {
        row.pending = false;
        row.added = false;
        emit dataChanged(index(r, 0), index(r, int(columns_.size()) - 1));
        emit headerDataChanged(Qt::Vertical, r, r);
        return written;
    }
    showStored(r);
    return Outcome::failed((adding ? QStringLiteral("数据表“%1”没有添加这一行：%2。")
                                   : QStringLiteral("数据表“%1”没有保存对这一行的修改：%2。"))
                               .arg(table_, written.reason()));
}

Outcome LookupTableModel::submitPending() {
    QStringList errors;
    // From the end, as a submission may drop its row.
    for (int r = int(rows_.size()) - 1; r >= 0; --r) {
        if (!isPending(r)) continue;
        const Outcome submitted = submitRow(r);
        if (!submitted.ok()) errors.prepend(submitted.reason());
    }
    if (errors.isEmpty()) return Outcome::done();
    return Outcome::failed(errors.join(QLatin1Char('\n')));
}

Outcome LookupTableModel::removeRecords(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int r) { return r < 0 || r >= rows_.size(); });
    const bool anyStored =
        std::any_of(rows.begin(), rows.end(), [this](int r) { return !rows_[r].added; });

    QString reason;
    if (anyStored) reason = begin().reason();
    if (anyStored && reason.isEmpty()) {
        QSqlQuery query(db_);
        query.prepare(
            QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(table_), whereUnchanged()));
        for (int r : rows) {
            if (rows_[r].added) continue;
            for (int c = 0; c < columns_.size(); ++c) query.bindValue(c, rows_[r].stored[c]);
            if (!query.exec()) {
                reason = sqlFailureReason(query.lastError());
                break;
            }
            if (query.numRowsAffected() == 0) {
                reason = ChangedMeanwhile;
                break;
            }
        }
        query.finish();
        if (reason.isEmpty()) reason = commit().reason();
        if (!reason.isEmpty()) rollback();
    }
    if (!reason.isEmpty()) {
        for (int r : rows)
            if (!rows_[r].added) showStored(r);
        return Outcome::failed(
            QStringLiteral("数据表“%1”没有删除选中的行：%2。").arg(table_, reason));
    }
    for (int r : rows) rows_[r].pending = false;
    for (int r : rows) dropRow(r);
    return Outcome::done();
}

Outcome LookupTableModel::insertRow(Row& row) {
    QStringList names, marks;
    QVariantList values;
    for (int c = 0; c < columns_.size(); ++c) {
        if (row.edited[c].isNull()) continue;
        names << quoted(columns_[c]);
        marks << QStringLiteral("?");
        values << row.edited[c];
    }
    if (const Outcome begun = begin(); !begun.ok()) return begun;
    QVariant key = row.edited[keyColumn_];
    QString reason;
    {
        QSqlQuery query(db_);
        query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(quoted(table_), names.join(QStringLiteral(", ")),
                               marks.join(QStringLiteral(", "))));
        for (int i = 0; i < values.size(); ++i) query.bindValue(i, values[i]);
        if (!query.exec())
            reason = sqlFailureReason(query.lastError());
        else if (key.isNull())
            key = query.lastInsertId();  // SQLite numbered it: an integer key is the rowid
    }
    return finishWrite(row, key, reason);
}

Outcome LookupTableModel::updateRow(Row& row) {
    QStringList assignments;
    QVariantList values;
    for (int c = 0; c < columns_.size(); ++c) {
        if (sameValue(row.edited[c], row.stored[c])) continue;
        assignments << quoted(columns_[c]) + QStringLiteral(" = ?");
        values << row.edited[c];
    }
    if (assignments.isEmpty()) return Outcome::done();
    if (const Outcome begun = begin(); !begun.ok()) return begun;
    QString reason;
    {
        QSqlQuery query(db_);
        query.prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(quoted(table_), assignments.join(QStringLiteral(", ")), whereUnchanged()));
        int i = 0;
        for (const QVariant& v : std::as_const(values)) query.bindValue(i++, v);
        for (const QVariant& v : std::as_const(row.stored)) query.bindValue(i++, v);
        if (!query.exec())
            reason = sqlFailureReason(query.lastError());
        else if (query.numRowsAffected() == 0)
            reason = ChangedMeanwhile;
    }
    return finishWrite(row, row.edited[keyColumn_], reason);
}

Outcome LookupTableModel::finishWrite(Row& row, const QVariant& key, const QString& reason) {
    Outcome finished = reason.isEmpty() ? Outcome::done() : Outcome::failed(reason);
    QVariantList stored;
    if (finished.ok()) finished = readRow(key, stored);
    if (finished.ok()) finished = commit();
    if (!finished.ok()) {
        rollback();
        return finished;
    }
    row.stored = stored.isEmpty() ? row.edited : stored;
    row.edited = row.stored;
    return finished;
}

Outcome LookupTableModel::readRow(const QVariant& key, QVariantList& values) {
    values.clear();
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?")
                      .arg(quoted(table_), quoted(ReferenceKeyColumn)));
    query.bindValue(0, key);
    if (!query.exec()) return Outcome::failed(sqlFailureReason(query.lastError()));
    if (query.next()) values = valuesOf(query, int(columns_.size()));
    return Outcome::done();
}

void LookupTableModel::showStored(int r) {
    Row& row = rows_[r];
    if (row.added) {
        dropRow(r);
        return;
    }
    QVariantList fresh;
    const bool read = readRow(row.stored[keyColumn_], fresh).ok();
    if (read && fresh.isEmpty()) {  // deleted meanwhile
        dropRow(r);
        return;
    }
    if (read) row.stored = fresh;
    row.edited = row.stored;
    row.pending = false;
    emit dataChanged(index(r, 0), index(r, int(columns_.size()) - 1));
    emit headerDataChanged(Qt::Vertical, r, r);
}

void LookupTableModel::dropRow(int r) {
    // The grid may move its current row off this one while it goes; nothing is left to store.
    rows_[r].pending = false;
    beginRemoveRows(QModelIndex(), r, r);
    rows_.removeAt(r);
    endRemoveRows();
}

Outcome LookupTableModel::begin() {
    // IMMEDIATE takes the write lock at once, waiting out another writer for the busy time-out.
    QSqlQuery query(db_);
    if (query.exec(QStringLiteral("BEGIN IMMEDIATE"))) return Outcome::done();
    return Outcome::failed(sqlFailureReason(query.lastError()));
}

Outcome LookupTableModel::commit() {
    QSqlQuery query(db_);
    if (query.exec(QStringLiteral("COMMIT"))) return Outcome::done();
    return Outcome::failed(sqlFailureReason(query.lastError()));
}

void LookupTableModel::rollback() {
    QSqlQuery query(db_);
    query.exec(QStringLiteral("ROLLBACK"));
}

QString LookupTableModel::whereUnchanged() const {
    QStringList conditions;
    for (const QString& column : columns_) conditions << quoted(column) + QStringLiteral(" IS ?");
    return conditions.join(QStringLiteral(" AND "));
}
