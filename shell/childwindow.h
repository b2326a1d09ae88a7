#pragma once

#include <QMdiSubWindow>
#include <QSize>

// The frame around one child window inside the main window's MDI area. It follows the
// window's own wishes: its title-bar buttons (a window that asks for a customised frame gets
// exactly the buttons it names) and a fixed size. Closing the frame runs the window's
// closeEvent, which may refuse; a window that closes itself takes its frame with it.
class ChildWindow : public QMdiSubWindow {
    Q_OBJECT
  public:
    explicit ChildWindow(QWidget* window);

    // Sizes the frame around the window's own size. Call once the frame is in the MDI area,
    // when the frame's margins are known.
    void fitToWindow();

    // True once the frame has agreed to close; it is deleted soon after.
    bool isClosed() const { return closed_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QSize requestedSize_;
    bool sized_ = false;
    bool fixedSize_ = false;
    bool closingFrame_ = false;
    bool forwardingClose_ = false;
    bool closed_ = false;
};
