#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QTime;
class QTimer;

// The three panels of the main window's status bar, left to right: the caption panel
// ("Panel1"), the date ("Panel2") and the time ("Panel3"), the last two in the system's short
// forms and kept current by a clock of their own. Each panel is at least `minimumWidth`
// pixels wide; the date and time panels grow with their text and the caption panel takes the
// rest. When the window is narrower than the panels together they keep their widths and are
// cut off at the right edge, so that the status bar never widens the window.
class StatusPanels : public QWidget {
  public:
    enum Panel { Caption = 0, Date = 1, Time = 2 };

    StatusPanels(int minimumWidth, QWidget* parent);

    QLabel* panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
    void setPanelText(int index, const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Milliseconds from `now` until just after the next whole minute, or the next whole
    // second when the time shows seconds: when the date and time panels next change.
    static int msUntilClockTick(const QTime& now, bool showsSeconds);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void arrange();
    void updateClock();
    int panelWidth(int index) const;

    int minimumWidth_;
    std::array<QLabel*, 3> panels_{};
    QTimer* clock_ = nullptr;
};
