#pragma once

#include <QString>
#include <QWidget>

#include "core/lossrecord.h"

class ChildHost;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// A result table: the friction table `table1` or the local table `table2`. Each row is a
// parameter line in List2 and its result text in List1, at the same index; the window can
// delete rows, total the results and save itself as a workbook.
class ResultTableForm : public QWidget {
    Q_OBJECT
  public:
    ResultTableForm(ChildHost& host, TableKind kind, QWidget* parent = nullptr);

    // Appends a row at the end.
    void record(const ResultRowTexts& row);

    TableKind kind() const { return kind_; }
    int rowCount() const;
    // True when rows changed since the table was opened or last saved.
    bool hasUnsavedRows() const { return unsaved_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void placeColumnLabels(const QStringList& labels, const std::string& sampleLine);
    void deleteRows();
    void total();
    void save();

    ChildHost& host_;
    const TableKind kind_;
    QListWidget* parameterList_ = nullptr;  // List2
    QListWidget* resultList_ = nullptr;     // List1
    QLineEdit* totalBox_ = nullptr;         // Text1
    QLineEdit* pathBox_ = nullptr;          // Text2
    bool unsaved_ = false;
};
