#pragma once

#include <QWidget>
#include <array>
#include <memory>

class DataGrid;
class ChildHost;
class Outcome;
class LookupTableModel;
class QPushButton;
class QTabWidget;
class RecordNavigator;
class ReferenceDatabase;

// "各种数据表": the five editable reference tables of the lookup database, one page each. An
// edit is stored when the user leaves its row, leaves the page or closes the window.
class LookupDatabaseForm : public QWidget {
    Q_OBJECT
  public:
    static constexpr int PageCount = 5;
    // The page shown when the window opens.
    static constexpr int DefaultPage = 5;

    explicit LookupDatabaseForm(ChildHost& host, QWidget* parent = nullptr);
    ~LookupDatabaseForm() override;

    // Selects page 1 to 5; other numbers are ignored.
    void showPage(int page);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Page {
        DataGrid* grid = nullptr;
        RecordNavigator* navigator = nullptr;
        LookupTableModel* model = nullptr;  // none when the database could not be opened
    };

    QWidget* buildPage(int page);
    void connectPage(Page& page);
    void moveRecord(Page& page, int row);
    void leavePage(int index);
    void deleteSelectedRows(Page& page);
    void submit(Page& page, int row);
    void report(const QString& text);
    void reportFailure(const Outcome& outcome);

    ChildHost& host_;
    std::unique_ptr<ReferenceDatabase> database_;
    QTabWidget* pages_ = nullptr;
    QPushButton* command2_ = nullptr;
    std::array<Page, PageCount> page_;
    int shownIndex_ = -1;
};
