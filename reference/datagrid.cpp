#include "reference/datagrid.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>

#include "reference/exacttextdelegate.h"

namespace {
const QString DeleteRowsText = QStringLiteral("删除选中的行(&D)");
}  // namespace

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new ExactTextDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);

    deleteRows_ = new QAction(DeleteRowsText, this);
    deleteRows_->setObjectName(QStringLiteral("DeleteRows"));
    deleteRows_->setShortcut(QKeySequence::Delete);
    // Only while the grid itself has the focus: in a cell editor Delete deletes characters.
    deleteRows_->setShortcutContext(Qt::WidgetShortcut);
    connect(deleteRows_, &QAction::triggered, this, &DataGrid::deleteRowsRequested);
    addAction(deleteRows_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void DataGrid::commitOpenEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QList<int> DataGrid::selectedRowNumbers() const {
    QList<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
