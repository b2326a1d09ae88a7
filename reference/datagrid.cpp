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
    // Rows as high as a line of text and its editor: the style's default is half as high again.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // The row selector: room for the marks of a row being edited or appended.
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("✎")) + 10);
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

QModelIndex DataGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // Text typed into the row for appending makes the next empty row only once it reaches the
    // model, so Down from there must commit it before looking for a row below.
    commitOpenEditor();
    return QTableView::moveCursor(action, modifiers);
}

QList<int> DataGrid::selectedRowNumbers() const {
    QList<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
