#pragma once

#include <QPointer>

#include "screens/calculationwindow.h"

class CoefficientGrid;
class QPushButton;

// Read-only reference of local-loss coefficients of fittings and valves: three tables, the
// tee diagrams their tee rows refer to, and a note on the velocity the values refer to.
class LocalLossCoefficientForm : public CalculationWindow {
    Q_OBJECT
  public:
    explicit LocalLossCoefficientForm(ChildHost& host, QWidget* parent = nullptr);

    // The window that becomes active again when this one closes: the screen that opened it.
    void setOpener(QWidget* opener) { opener_ = opener; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    CoefficientGrid* buildTableA();
    CoefficientGrid* buildTableB();
    CoefficientGrid* buildTableC();
    QWidget* buildNote();

    QPushButton* doneButton_;
    QPointer<QWidget> opener_;
};
