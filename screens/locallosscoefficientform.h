#pragma once

#include <QWidget>

class CoefficientGrid;
class Frame;
class QPushButton;

// Read-only reference of local-loss coefficients of fittings and valves: three tables, the
// tee diagrams their tee rows refer to, and a note on the velocity the values refer to.
class LocalLossCoefficientForm : public QWidget {
    Q_OBJECT
  public:
    explicit LocalLossCoefficientForm(Frame& frame, QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CoefficientGrid* buildTableA();
    CoefficientGrid* buildTableB();
    CoefficientGrid* buildTableC();
    QWidget* buildNote();

    Frame& frame_;
    QPushButton* command1_;
};
