#pragma once

#include <QWidget>

class ChildHost;

// The help window, object name "help": a fixed text and a button that closes the window.
class HelpForm : public QWidget {
    Q_OBJECT
  public:
    explicit HelpForm(ChildHost& host, QWidget* parent = nullptr);
};
