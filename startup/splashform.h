#pragma once

#include <QColor>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QTimer;

// The splash window, object name "Form_封面". After 2500 ms it calls showMainWindow, then
// closes itself. Closing it earlier ends the program (it is the only window) and the callback
// never runs.
class SplashForm : public QWidget {
    Q_OBJECT
  public:
    explicit SplashForm(std::function<void()> showMainWindow, QWidget* parent = nullptr);

    // Swaps the fore colour of `control` between console colours c1 and c2, keeping the
    // current colour number in the control's "tag" property (an empty or non-numeric tag
    // counts as 0).
    static void toggleForeColour(QWidget* control, int c1, int c2);

    // Colour `number` of the 16-colour console palette; nothing outside 0..15.
    static std::optional<QColor> consoleColour(int number);

  public slots:
    void endSplash();
    void advanceDots();
    void blinkTitle();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> showMainWindow_;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
    QTimer* timer3_ = nullptr;
    std::int16_t dotCount_ = 0;  // dots the next tick of Timer2 shows, 1 to 6
    bool opened_ = false;
    bool finished_ = false;
};
