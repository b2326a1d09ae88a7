#pragma once

#include "screens/calculationwindow.h"

class QLineEdit;

// The local-loss screen: coefficient ζ, velocity and temperature in, loss of one fitting out.
class LocalLossForm : public CalculationWindow {
    Q_OBJECT
  public:
    explicit LocalLossForm(ChildHost& host, QWidget* parent = nullptr);

  private:
    void buildControls();
    void compute();
    void recompute();
    void record();
    void showCoefficients();

    InputRow coefficient_{};        // ζ
    InputRow velocity_{};           // v, m/s
    InputRow temperature_{};        // t, °C
    QLineEdit* lossBox_ = nullptr;  // Hf, Pa
};
