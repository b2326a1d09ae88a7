#pragma once

#include <QPushButton>
#include <QWidget>
#include <initializer_list>
#include <optional>
#include <string>

#include "core/lossrecord.h"
#include "platform/prompter.h"

class ChildHost;
class QLabel;
class QLineEdit;

// What the calculation screens and the coefficient reference have in common: a child window
// with a fixed dialog frame, destroyed on closing, whose caption stands in the main window's
// caption panel while it is open, and where Enter presses the default button.
class CalculationWindow : public QWidget {
    Q_OBJECT
  public:
    // Where the label, the box and the unit of one input row stand, in pixels from the left.
    struct RowColumns {
        int labelX;
        int labelWidth;
        int boxX;
        int boxWidth;
        int unitX;
        int unitWidth;
    };
    // The row of buttons under a calculation screen: compute (the default button), recompute
    // and exit (which closes the window).
    struct CommandRow {
        QPushButton* compute;
        QPushButton* recompute;
        QPushButton* exit;
    };
    struct InputRow {
        QLabel* label;
        QLineEdit* box;
        QLabel* unit;
    };

  protected:
    CalculationWindow(ChildHost& host, const QString& objectName, const QString& caption,
                      const QFont& font, QWidget* parent);

    // The button that Enter presses anywhere in the window.
    void setDefaultButton(QPushButton* button);

    // A right-aligned label, the box and its unit on one line at `top`; the unit is left out
    // when `unitName` is null.
    static InputRow addInputRow(QWidget* parent, const RowColumns& columns, int top,
                                const char* labelName, const QString& labelText,
                                const char* boxName, const QString& boxText,
                                const char* unitName = nullptr, const QString& unitText = {});

    // The row's box as a 32-bit number; when it is not a number, the user is told which box
    // (by its label) and what it holds, and nothing is returned.
    std::optional<float> readInput(const InputRow& row);

    // True when every box holds some text; otherwise the user is asked to type the parameters,
    // with the screen's own buttons, and false is returned.
    bool allFilled(std::initializer_list<const InputRow*> rows, PromptButtons buttons);

    // A box's text as it stands, for frictionRow and localRow.
    static std::string textOf(const QLineEdit* box);
    // Hands the row to the result tables; no row (a box was empty) records nothing.
    void recordRow(TableKind kind, const std::optional<ResultRowTexts>& row);

    // The three buttons side by side, the first at `first`, each `step` pixels right of the
    // one before; compute and recompute run the given handlers.
    template <typename Window>
    CommandRow addCommandRow(const QRect& first, int step, void (Window::*compute)(),
                             void (Window::*recompute)()) {
        const CommandRow row = addCommandRow(first, step);
        connect(row.compute, &QPushButton::clicked, static_cast<Window*>(this), compute);
        connect(row.recompute, &QPushButton::clicked, static_cast<Window*>(this), recompute);
        return row;
    }
    CommandRow addCommandRow(const QRect& first, int step);

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    ChildHost& host_;

  private:
    QPushButton* defaultButton_ = nullptr;
};
