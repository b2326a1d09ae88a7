#include "screens/calculationwindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/childhost.h"
#include "platform/windowframe.h"
#include "screens/formparts.h"

CalculationWindow::CalculationWindow(ChildHost& host, const QString& objectName,
                                     const QString& caption, const QFont& font, QWidget* parent)
    : QWidget(parent), host_(host) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setDialogFrame(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(font);
    host_.setCaptionPanelText(caption);
}

void CalculationWindow::setDefaultButton(QPushButton* button) {
    defaultButton_ = button;
    button->setDefault(true);
}

CalculationWindow::InputRow CalculationWindow::addInputRow(
    QWidget* parent, const RowColumns& columns, int top, const char* labelName,
    const QString& labelText, const char* boxName, const QString& boxText, const char* unitName,
    const QString& unitText) {
    constexpr int RowHeight = 24;
    InputRow row{};
    row.label = formparts::makeLabel(parent, labelName, labelText,
                                     QRect(columns.labelX, top, columns.labelWidth, RowHeight),
                                     Qt::AlignRight | Qt::AlignVCenter);
    row.box = formparts::makeBox(parent, boxName, boxText,
                                 QRect(columns.boxX, top, columns.boxWidth, RowHeight));
    if (unitName)
        row.unit = formparts::makeLabel(parent, unitName, unitText,
                                        QRect(columns.unitX, top, columns.unitWidth, RowHeight));
    return row;
}

CalculationWindow::CommandRow CalculationWindow::addCommandRow(const QRect& first, int step) {
    CommandRow row{};
    row.compute = formparts::makeButton(this, "Command1", formparts::ComputeText, first);
    row.recompute = formparts::makeButton(this, "Command2", formparts::RecomputeText,
                                          first.translated(step, 0));
    row.exit =
        formparts::makeButton(this, "Command3", formparts::ExitText, first.translated(2 * step, 0));
    setDefaultButton(row.compute);
    connect(row.exit, &QPushButton::clicked, this, &QWidget::close);
    return row;
}

std::optional<float> CalculationWindow::readInput(const InputRow& row) {
    return formparts::readSingle(host_.prompter(), row.label, row.box);
}

bool CalculationWindow::allFilled(std::initializer_list<const InputRow*> rows,
                                  PromptButtons buttons) {
    for (const InputRow* row : rows) {
        if (row->box->text().isEmpty()) {
            host_.prompter().ask(formparts::MissingParameters, formparts::PromptTitle, buttons);
            return false;
        }
    }
    return true;
}

std::string CalculationWindow::textOf(const QLineEdit* box) { return box->text().toStdString(); }

void CalculationWindow::recordRow(TableKind kind, const std::optional<ResultRowTexts>& row) {
    if (row) host_.resultTables().record(kind, *row);
}

void CalculationWindow::closeEvent(QCloseEvent* event) {
    host_.setCaptionPanelText(QString());
    event->accept();
}

void CalculationWindow::keyPressEvent(QKeyEvent* event) {
    // Enter in a box (which passes the key on) presses the default button.
    if (defaultButton_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        defaultButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
