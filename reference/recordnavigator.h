#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

// The bar under a grid that moves its current record: first, previous, caption, next, last.
class RecordNavigator : public QFrame {
    Q_OBJECT
  public:
    RecordNavigator(const QString& caption, QWidget* parent = nullptr);

  signals:
    void firstRequested();
    void previousRequested();
    void nextRequested();
    void lastRequested();
};
