#include "reference/lookupdatabaseform.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/childhost.h"
#include "platform/prompter.h"
#include "platform/windowframe.h"
#include "reference/datagrid.h"
#include "reference/lookuptablemodel.h"
#include "reference/recordnavigator.h"
#include "reference/referencedatabase.h"
#include "reference/referencefiles.h"

namespace {

const QString Caption = QStringLiteral("各种数据表");
const QString GeneralNote =
    QStringLiteral("说明：用户可以在表中直接添加、修改或删除数据，以完善数据库内容");
// The two notes of pages 3 and 4, side by side.
const QString AirVelocityNotes[2] = {QStringLiteral("     表中  建筑1部分为推荐风速（m/s）"),
                                     QStringLiteral("   建筑2部分为最大风速（m/s）")};
const QString DuctVelocityNotes[2] = {QStringLiteral("     低速风管（表中“新风入口风速”左边部分）"),
                                      QStringLiteral("  高速风管（“新风入口风速”右边部分）")};
const QString DoneText = QStringLiteral("查询完毕");
const QString DeleteQuestion = QStringLiteral("确定要删除选中的 %1 行吗？");

// Pixels: room for the widest table's first columns without scrolling.
constexpr int FormWidth = 860;
constexpr int FormHeight = 580;
constexpr int MaxColumnWidth = 240;

enum class Move { First, Previous, Next, Last };

// The record a move lands on; the first and last records stay where they are. `row` is -1
// with no current record and `count` (the row for appending) past the last record.
int targetRow(Move move, int row, int count) {
    switch (move) {
        case Move::First:
            return 0;
        case Move::Previous:
            return std::clamp(row - 1, 0, count - 1);
        case Move::Next:
            return row < 0 ? 0 : row >= count - 1 ? row : row + 1;
        case Move::Last:
            return count - 1;
    }
    return row;
}

QLabel* noteLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

LookupDatabaseForm::LookupDatabaseForm(ChildHost& host, QWidget* parent)
    : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("Form_供查数据库表"));
    setWindowTitle(Caption);
    setDialogFrame(this);
    setAttribute(Qt::WA_DeleteOnClose);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("Pages"));
    const ReferenceDatabaseFile file = lookupDatabaseFile();
    for (int p = 1; p <= PageCount; ++p) pages_->addTab(buildPage(p), file.tables[p - 1].name);

    command2_ = new QPushButton(DoneText, this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setMinimumSize(100, 30);
    connect(command2_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command2_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->addWidget(pages_, 1);
    outer->addLayout(buttons);
    // Fixed from the start, so that the frame that hosts the window sees its final size.
    setFixedSize(FormWidth, FormHeight);

    QStringList failures;
    database_ = std::make_unique<ReferenceDatabase>(file);
    if (!database_->isOpen()) failures << database_->outcome().reason();
    for (int p = 0; p < PageCount && database_->isOpen(); ++p) {
        Page& page = page_[p];
        page.model = new LookupTableModel(database_->connection(), file.tables[p].name, this);
        if (const Outcome loaded = page.model->load(); !loaded.ok()) failures << loaded.reason();
        connectPage(page);
    }

    connect(pages_, &QTabWidget::currentChanged, this, &LookupDatabaseForm::leavePage);
    showPage(DefaultPage);
    host_.setCaptionPanelText(Caption);
    if (!failures.isEmpty()) report(failures.join(QLatin1Char('\n')));
}

LookupDatabaseForm::~LookupDatabaseForm() {
    // Every use of the connection ends before the connection does.
    for (Page& page : page_) delete page.model;
}

QWidget* LookupDatabaseForm::buildPage(int number) {
    auto* widget = new QWidget;
    widget->setObjectName(QStringLiteral("Page%1").arg(number));
    auto* column = new QVBoxLayout(widget);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    column->addWidget(noteLabel(widget, QStringLiteral("Note%1").arg(number), GeneralNote));

    const QString* extra = number == 3   ? AirVelocityNotes
                           : number == 4 ? DuctVelocityNotes
                                         : nullptr;
    if (extra) {
        auto* side = new QHBoxLayout;
        side->setSpacing(24);
        side->addWidget(noteLabel(widget, QStringLiteral("Note%1Left").arg(number), extra[0]));
        side->addWidget(noteLabel(widget, QStringLiteral("Note%1Right").arg(number), extra[1]));
        side->addStretch(1);
        column->addLayout(side);
    }

    Page& page = page_[number - 1];
    page.grid = new DataGrid(widget);
    page.grid->setObjectName(QStringLiteral("DataGrid%1").arg(number));
    page.navigator = new RecordNavigator(QStringLiteral("Adodc%1").arg(number), widget);
    column->addWidget(page.grid, 1);
    column->addWidget(page.navigator);
    return widget;
}

void LookupDatabaseForm::connectPage(Page& page) {
    DataGrid* grid = page.grid;
    grid->setModel(page.model);
    grid->resizeColumnsToContents();
    for (int c = 0; c < page.model->columnCount(); ++c)
        grid->setColumnWidth(c, std::min(grid->columnWidth(c), MaxColumnWidth));
    if (page.model->recordCount() > 0) grid->setCurrentIndex(page.model->index(0, 0));

    // Leaving a row stores it: the grid has committed an open editor to the row by then.
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &page](const QModelIndex& current, const QModelIndex& previous) {
                if (previous.isValid() && previous.row() != current.row())
                    submit(page, previous.row());
            });
    const auto mover = [this, &page](Move move) {
        return [this, &page, move] {
            const int row =
                page.grid->currentIndex().isValid() ? page.grid->currentIndex().row() : -1;
            if (page.model->recordCount() > 0)
                moveRecord(page, targetRow(move, row, page.model->recordCount()));
        };
    };
    connect(page.navigator, &RecordNavigator::firstRequested, this, mover(Move::First));
    connect(page.navigator, &RecordNavigator::previousRequested, this, mover(Move::Previous));
    connect(page.navigator, &RecordNavigator::nextRequested, this, mover(Move::Next));
    connect(page.navigator, &RecordNavigator::lastRequested, this, mover(Move::Last));
    connect(grid, &DataGrid::deleteRowsRequested, this,
            [this, &page] { deleteSelectedRows(page); });
}

void LookupDatabaseForm::showPage(int page) {
    if (page >= 1 && page <= PageCount) pages_->setCurrentIndex(page - 1);
}

void LookupDatabaseForm::moveRecord(Page& page, int row) {
    const int column = std::max(page.grid->currentIndex().column(), 0);
    const QModelIndex target = page.model->index(row, column);
    page.grid->setCurrentIndex(target);
    page.grid->scrollTo(target);
}

void LookupDatabaseForm::leavePage(int index) {
    const int left = shownIndex_;
    shownIndex_ = index;
    if (left < 0 || left >= PageCount || !page_[left].model) return;
    page_[left].grid->commitOpenEditor();
    reportFailure(page_[left].model->submitPending());
}

void LookupDatabaseForm::deleteSelectedRows(Page& page) {
    QList<int> rows = page.grid->selectedRowNumbers();
    const int records = page.model->recordCount();
    rows.removeIf([records](int row) { return row >= records; });
    if (rows.isEmpty()) return;
    if (host_.prompter().ask(DeleteQuestion.arg(rows.size()), Caption, PromptButtons::YesNo) !=
        PromptAnswer::Yes)
        return;
    reportFailure(page.model->removeRecords(rows));
}

void LookupDatabaseForm::submit(Page& page, int row) { reportFailure(page.model->submitRow(row)); }

void LookupDatabaseForm::reportFailure(const Outcome& outcome) {
    if (!outcome.ok()) report(outcome.reason());
}

void LookupDatabaseForm::report(const QString& text) {
    host_.prompter().ask(text, Caption, PromptButtons::Ok);
}

void LookupDatabaseForm::closeEvent(QCloseEvent* event) {
    QStringList failures;
    for (Page& page : page_) {
        if (!page.model) continue;
        page.grid->commitOpenEditor();
        if (const Outcome submitted = page.model->submitPending(); !submitted.ok())
            failures << submitted.reason();
    }
    if (!failures.isEmpty()) report(failures.join(QLatin1Char('\n')));
    host_.setCaptionPanelText(QString());
    event->accept();
}
