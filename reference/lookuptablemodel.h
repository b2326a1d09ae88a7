#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include "platform/outcome.h"

// One whole reference table for an editable grid: every column in the table's order, the
// rows in the order the table returns them, and an empty row at the end for appending.
//
// Edits collect in their row until the row is submitted; each submission and each deletion
// is one transaction, committed before the call returns. A row is written only where it still
// holds what was read (optimistic locking), so a row another program changed meanwhile is
// refused rather than overwritten. A refused write leaves the row showing what is stored.
class LookupTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // True for the integer key column, which takes whole numbers only.
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
    };

    Outcome insertRow(Row& row);
    Outcome updateRow(Row& row);
    // Reads the stored row whose key is `key` into `values`, left empty when there is none.
    Outcome readRow(const QVariant& key, QVariantList& values);
    // After a write: the row as stored, then the end of the transaction; rolled back on
    // failure.
    Outcome finishWrite(Row& row, const QVariant& key, const QString& reason);
    void showStored(int row);
    void dropRow(int row);
    Outcome begin();
    Outcome commit();
    void rollback();
    QString whereUnchanged() const;

    QSqlDatabase db_;
    QString table_;
    QStringList columns_;
    int keyColumn_ = -1;
    QList<Row> rows_;
};
