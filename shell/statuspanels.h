#pragma once

#include <QWidget>
#include <array>

class QLabel;

// The three panels of the main window's status bar, left to right: the caption panel
// ("Panel1"), the date ("Panel2") and the time ("Panel3"). Each is at least `minimumWidth`
// pixels wide; the date and time panels grow with their text and the caption panel takes the
// rest. When the window is narrower than the panels together they keep their widths and are
// cut off at the right edge, so that the status bar never widens the window.
class StatusPanels : public QWidget {
  public:
    StatusPanels(int minimumWidth, QWidget* parent);

    QLabel* panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
    void setPanelText(int index, const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void arrange();
    int panelWidth(int index) const;

    int minimumWidth_;
    std::array<QLabel*, 3> panels_{};
};
