#include "system/sheetview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "system/celltext.h"
#include "system/sectiontablemodel.h"

namespace {

const QString InsertRowsText = QStringLiteral("插入行");
const QString RemoveRowsText = QStringLiteral("删除行");
const QString CutText = QStringLiteral("剪切");
const QString CopyText = QStringLiteral("复制");
const QString PasteText = QStringLiteral("粘贴");
const QString ClearText = QStringLiteral("清除");
const QString FittingsText = QStringLiteral("选择管件与阀门（Σζ）…");
const QString EquipmentText = QStringLiteral("选择设备（设备阻力）…");

// Rows a column's width is measured over.
constexpr int ResizePrecision = 200;

}  // namespace

SheetView::SheetView(SectionTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model) {
    setModel(model);
    // Typing starts an editor that replaces the cell; F2 and a double click edit it in place.
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setAlternatingRowColors(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Column widths from the first rows and those in view: a large project opens without
    // measuring every cell.
    horizontalHeader()->setResizeContentsPrecision(ResizePrecision);
}

std::pair<int, int> SheetView::selectedRowSpan() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        const int row = currentIndex().isValid() ? currentIndex().row() : model_->rowCount();
        return {row, 1};
    }
    int first = selected.first().row();
    int last = first;
    for (const QModelIndex& index : selected) {
        first = std::min(first, index.row());
        last = std::max(last, index.row());
    }
    return {first, last - first + 1};
}

void SheetView::moveCurrent(int rowStep, int columnStep) {
    const QModelIndex current = currentIndex();
    const int row = std::clamp(current.row() + rowStep, 0, std::max(0, model_->rowCount() - 1));
    const int column =
        std::clamp(current.column() + columnStep, 0, std::max(0, model_->columnCount() - 1));
    setCurrentIndex(model_->index(row, column));
}

bool SheetView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (trigger == DoubleClicked && index.column() == SectionTableModel::Zeta) {
        emit fittingsRequested(index.row());
        return false;
    }
    if (trigger == DoubleClicked && index.column() == SectionTableModel::Equipment) {
        emit equipmentRequested(index.row());
        return false;
    }
    return QTableView::edit(index, trigger, event);
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (state() != EditingState) {
        if (event->matches(QKeySequence::Copy)) return copySelection();
        if (event->matches(QKeySequence::Cut)) return cutSelection();
        if (event->matches(QKeySequence::Paste)) return pasteAtCurrent();
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return moveCurrent(event->modifiers() & Qt::ShiftModifier ? -1 : 1, 0);
            case Qt::Key_Delete:
            case Qt::Key_Backspace:
                if (ctrl) return removeSelectedRows();
                return clearSelection();
            case Qt::Key_Insert:
                return insertRowsAtSelection();
            case Qt::Key_Plus:
                if (ctrl) return insertRowsAtSelection();
                break;
            case Qt::Key_Minus:
                if (ctrl) return removeSelectedRows();
                break;
            default:
                break;
        }
    }
    QTableView::keyPressEvent(event);
}

void SheetView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Enter in an editor ends the edit and goes to the cell below, as in a spreadsheet.
    const bool down = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, down ? QAbstractItemDelegate::NoHint : hint);
    if (down) moveCurrent(1, 0);
}

void SheetView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex at = indexAt(event->pos());
    if (at.isValid() && !selectionModel()->isSelected(at)) setCurrentIndex(at);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("sheetContextMenu"));
    const auto add = [&](const char* name, const QString& text, auto slot) {
        QAction* action = menu.addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("insertRows", InsertRowsText, &SheetView::insertRowsAtSelection);
    add("removeRows", RemoveRowsText, &SheetView::removeSelectedRows);
    menu.addSeparator();
    add("cutCells", CutText, &SheetView::cutSelection);
    add("copyCells", CopyText, &SheetView::copySelection);
    add("pasteCells", PasteText, &SheetView::pasteAtCurrent);
    add("clearCells", ClearText, &SheetView::clearSelection);
    menu.addSeparator();
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    add("pickFittings", FittingsText, [this, row] {
        emit fittingsRequested(row);
    })->setEnabled(row >= 0 && row < model_->rowCount());
    add("pickEquipment", EquipmentText, [this, row] {
        emit equipmentRequested(row);
    })->setEnabled(row >= 0 && row < model_->rowCount());
    menu.exec(event->globalPos());
}

void SheetView::copySelection() {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    QModelIndexList cells = selected;
    if (cells.isEmpty() && currentIndex().isValid()) cells.append(currentIndex());
    if (cells.isEmpty()) return;
    // The block that holds the selection; cells inside it but not selected copy as empty.
    int top = cells.first().row(), bottom = top;
    int left = cells.first().column(), right = left;
    for (const QModelIndex& index : cells) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QList<QStringList> rows(bottom - top + 1, QStringList(right - left + 1));
    for (const QModelIndex& index : cells)
        rows[index.row() - top][index.column() - left] = model_->cellText(index);
    auto* mime = new QMimeData;
    mime->setText(celltext::toTabSeparated(rows));
    QApplication::clipboard()->setMimeData(mime);
}

void SheetView::cutSelection() {
    copySelection();
    clearSelection();
}

void SheetView::pasteAtCurrent() {
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) return;
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : model_->rowCount();
    const int column = current.isValid() ? current.column() : 0;
    model_->pasteBlock(row, column, celltext::fromTabSeparated(text));
}

void SheetView::clearSelection() {
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid()) cells.append(currentIndex());
    model_->clearCells(cells);
}

void SheetView::insertRowsAtSelection() {
    const auto [first, count] = selectedRowSpan();
    model_->insertEmptyRows(std::min(first, model_->rowCount()), count);
}

void SheetView::removeSelectedRows() {
    const auto [first, count] = selectedRowSpan();
    if (first >= model_->rowCount()) return;
    model_->removeSectionRows(first, std::min(count, model_->rowCount() - first));
}
