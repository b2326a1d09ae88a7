#pragma once

#include <QWidget>
#include <optional>

class Frame;
class QLabel;
class QLineEdit;
class QPushButton;

// The local-loss screen: coefficient ζ, velocity and temperature in, loss of one fitting out.
class LocalLossForm : public QWidget {
    Q_OBJECT
  public:
    explicit LocalLossForm(Frame& frame, QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildControls();
    void compute();
    void recompute();
    void showCoefficients();

    Frame& frame_;

    QLineEdit* text1_ = nullptr;  // ζ
    QLineEdit* text2_ = nullptr;  // v, m/s
    QLineEdit* text3_ = nullptr;  // t, °C
    QLineEdit* text4_ = nullptr;  // Hf, Pa
    QLabel* label1_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label9_ = nullptr;
    QPushButton* command1_ = nullptr;
};
