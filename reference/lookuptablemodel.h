#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include "platform/outcome.h"

class QSqlQuery;

// One whole reference table for an editable grid: every column in the table's order, the
// rows in the order the table returns them, and an empty row at the end for appending.
// A row is found again by 序号 where 序号 is the table's key, otherwise by SQLite's row id (a
// table made by another tool may hold 序号 as an ordinary column); a table with neither is
// shown read-only.
//
// Edits collect in their row until the row is submitted; each submission and each deletion
// is one transaction, committed before the call returns. A row is written only where it still
// holds what was read (optimistic locking), so a row another program changed meanwhile is
// refused rather than overwritten. A refused write leaves the row showing what is stored.
class LookupTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // True for 序号 where it is the integer key, which takes whole numbers only.
    static constexpr int IntegerColumnRole = Qt::UserRole + 1;

    // The connection must outlive the model.
    LookupTableModel(const QSqlDatabase& db, const QString& table, QObject* parent = nullptr);

    // Reads the whole table; a failure names the table and the reason.
    Outcome load();

    const QString& table() const { return table_; }
    // Rows that are stored or being added, without the empty row at the end.
    int recordCount() const { return int(rows_.size()); }
    bool isPending(int row) const;

    // Writes the row's edits. A refusal names the table and the reason, and the row shows what
    // is stored again (an unstored row is dropped).
    Outcome submitRow(int row);
    // Submits every row that holds edits; the refusals one to a line.
    Outcome submitPending();
    // Deletes these rows together, or none of them.
    Outcome removeRecords(QList<int> rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  private:
    struct Row {
        QVariantList stored;  // as read; all null for a row not stored yet
        QVariantList edited;  // what the grid shows while pending
        bool pending = false;
        bool added = false;  // not in the table yet
        QVariant rowId;      // SQLite's row id, where rows are found by it
    };

    Outcome insertRow(Row& row);
    Outcome updateRow(Row& row);
    // Reads the stored row found by `locator` (see locatorOf) into `values`, left empty when
    // there is none.
    Outcome readRow(const QVariant& locator, QVariantList& values);
    // After a write: the row as stored, found by `locator`, then the end of the transaction;
    // rolled back on failure.
    Outcome finishWrite(Row& row, const QVariant& locator, const QString& reason);
    // The key or row id that finds the row: as stored, or as the row is being written.
    QVariant locatorOf(const Row& row, bool edited) const;
    bool editable() const { return keyColumn_ >= 0 || byRowId_; }
    // Binds the values of whereUnchanged() from `first` on.
    void bindUnchanged(QSqlQuery& query, int first, const Row& row) const;
    void showStored(int row);
    void dropRow(int row);
    Outcome begin();
    Outcome commit();
    void rollback();
    QString whereUnchanged() const;

    QSqlDatabase db_;
    QString table_;
    QStringList columns_;
    int keyColumn_ = -1;    // 序号 where it is the key
    bool byRowId_ = false;  // rows are found by their row id
    QList<Row> rows_;
};
