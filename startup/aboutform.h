#pragma once

#include <QWidget>

class Frame;

// The About window, object name "about": a fixed text and a button that closes the window.
class AboutForm : public QWidget {
    Q_OBJECT
  public:
    explicit AboutForm(Frame& frame, QWidget* parent = nullptr);
};
