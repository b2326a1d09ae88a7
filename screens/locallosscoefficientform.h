#pragma once

#include "screens/calculationwindow.h"

class CoefficientGrid;
class QPushButton;

// Read-only reference of local-loss coefficients of fittings and valves: three tables, the
// tee diagrams their tee rows refer to, and a note on the velocity the values refer to.
class LocalLossCoefficientForm : public CalculationWindow {
    Q_OBJECT
  public:
    explicit LocalLossCoefficientForm(Frame& frame, QWidget* parent = nullptr);

  private:
    CoefficientGrid* buildTableA();
    CoefficientGrid* buildTableB();
    CoefficientGrid* buildTableC();
    QWidget* buildNote();

    QPushButton* doneButton_;
};
