#pragma once

#include <cstdint>

#include "screens/calculationwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The friction-loss screen: diameter, length, temperature, flow and roughness of one straight
// pipe section in, water velocity and friction loss out.
class FrictionLossForm : public CalculationWindow {
    Q_OBJECT
  public:
    explicit FrictionLossForm(ChildHost& host, QWidget* parent = nullptr);

  private:
    void buildControls();
    void compute();
    void recompute();
    void record();
    void showHintStep();

    InputRow diameter_{};               // D, mm
    InputRow length_{};                 // L, mm
    InputRow temperature_{};            // t, °C
    InputRow flow_{};                   // G, m³/h
    InputRow roughness_{};              // K, mm
    QLineEdit* velocityBox_ = nullptr;  // V, m/s
    QLineEdit* lossBox_ = nullptr;      // Hf, Pa
    QLabel* hintLabel_ = nullptr;
    QTimer* hintTimer_ = nullptr;

    // Number of hint characters the next tick shows.
    std::int16_t hintLength_ = 1;
};
