#pragma once

#include <QWidget>

class ChildHost;

// The About window, object name "about": a fixed text and a button that closes the window.
class AboutForm : public QWidget {
    Q_OBJECT
  public:
    explicit AboutForm(ChildHost& host, QWidget* parent = nullptr);
};
