#pragma once

#include <QStyledItemDelegate>

// Edits every cell in a plain line editor that passes the text on exactly as typed: no
// number editor rounds "0.0015" or drops the "~" of a range. The integer key column
// (LookupTableModel::IntegerColumnRole) accepts whole numbers only.
class ExactTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};
