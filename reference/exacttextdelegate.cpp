#include "reference/exacttextdelegate.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "reference/lookuptablemodel.h"

namespace {
// 18 digits always fit SQLite's 64-bit integer.
const QRegularExpression WholeNumber(QStringLiteral("-?[0-9]{0,18}"));
}  // namespace

QWidget* ExactTextDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (index.data(LookupTableModel::IntegerColumnRole).toBool())
        editor->setValidator(new QRegularExpressionValidator(WholeNumber, editor));
    return editor;
}

void ExactTextDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
}

void ExactTextDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}
