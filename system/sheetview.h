#pragma once

#include <QTableView>

class SectionTableModel;

// The grid of the sheet with a spreadsheet's habits: Enter moves down and Tab right, typing
// replaces the cell, Delete clears the selection, Insert and Ctrl+Delete add and remove rows,
// Ctrl+C and Ctrl+V carry blocks of cells as tab-separated text. A double click on Σζ or the
// equipment loss opens its picker; typing there still enters a figure by hand. Every change goes to
// the model, which puts it on the undo stack.
class SheetView : public QTableView {
    Q_OBJECT
  public:
    explicit SheetView(SectionTableModel* model, QWidget* parent = nullptr);

    void copySelection();
    void cutSelection();
    void pasteAtCurrent();
    void clearSelection();
    void insertRowsAtSelection();
    void removeSelectedRows();

  signals:
    // The user asked for the Σζ or the equipment picker of a row.
    void fittingsRequested(int row);
    void equipmentRequested(int row);

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // The rows the selection touches, first and count; the current row when nothing is selected.
    std::pair<int, int> selectedRowSpan() const;
    void moveCurrent(int rowStep, int columnStep);

    SectionTableModel* model_;
};
