#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

#include "core/frictionloss.h"

class Frame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The friction-loss screen: diameter, length, temperature, flow and roughness of one straight
// pipe section in, water velocity and friction loss out.
class FrictionLossForm : public QWidget {
    Q_OBJECT
  public:
    explicit FrictionLossForm(Frame& frame, QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class TestFrictionLossForm;

    void buildControls();
    void compute();
    void recompute();
    void showHintStep();

    Frame& frame_;

    QLineEdit* text1_ = nullptr;  // D, mm
    QLineEdit* text2_ = nullptr;  // L, mm
    QLineEdit* text3_ = nullptr;  // t, °C
    QLineEdit* text4_ = nullptr;  // G, m³/h
    QLineEdit* text5_ = nullptr;  // K, mm
    QLineEdit* text6_ = nullptr;  // V, m/s
    QLineEdit* text7_ = nullptr;  // Hf, Pa
    QLabel* label1_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label7_ = nullptr;
    QLabel* label9_ = nullptr;
    QLabel* label21_ = nullptr;  // the hint
    QPushButton* command1_ = nullptr;
    QTimer* timer1_ = nullptr;

    // The last successful computation, kept while the window is open.
    std::optional<FrictionLossResult> lastResult;
    // Number of hint characters the next tick shows.
    std::int16_t hintLength = 1;
};
