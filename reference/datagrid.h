#pragma once

#include <QTableView>

class QAction;

// The editable grid of one reference table. Delete and the context menu ask to delete the
// selected rows; the window that owns the grid decides.
class DataGrid : public QTableView {
    Q_OBJECT
  public:
    explicit DataGrid(QWidget* parent = nullptr);

    // Passes the text of an open cell editor to the model and closes the editor.
    void commitOpenEditor();

    // The rows that hold a selected cell, in ascending order.
    QList<int> selectedRowNumbers() const;

  signals:
    void deleteRowsRequested();

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

  private:
    QAction* deleteRows_;
};
