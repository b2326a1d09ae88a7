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
// edit is stored when the user leaves its row, leaves the page or closes the window. A database
// or table that could not be read (held by another program, say) is tried again when the
// user switches to a page that shows nothing.
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
    // Opens the database and reads every page's table; returns why not, for the user.
    QStringList openDatabase();
    void connectPage(Page& page);
    void fitColumns(Page& page);
    // Reads the page's table again when the database or the table could not be read before.
    void retryPage(int index);
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
