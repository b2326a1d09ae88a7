#pragma once

#include <QWidget>

class Frame;

// The help window, object name "help": a fixed text and a button that closes the window.
class HelpForm : public QWidget {
    Q_OBJECT
  public:
    explicit HelpForm(Frame& frame, QWidget* parent = nullptr);
};
