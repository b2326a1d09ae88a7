#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

// bench/startup_compare.sh sets QUORVEL_STARTUP_PROBE: once the window it watches has been
// painted for the first time, the program prints the monotonic clock in ns and the window's
// size, and ends. The floor the comparison runs against (bench/startupfloor.cpp) prints the
// same through this same class.
class FirstPaintProbe : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            auto* window = static_cast<QWidget*>(watched);
            // After the paint event, once the window's pixels have gone to the display.
            QTimer::singleShot(0, window, [window] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("first-paint %lld %dx%d\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                            window->width(), window->height());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

  private:
    bool seen_ = false;
};
