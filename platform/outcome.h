#pragma once

#include <QString>

// What a file or database step of the windows came to: done, or why not; and either way a
// warning the user should see (a file that was read only in part). The texts are for the user
// (Chinese) and do not name the file: the caller does.
class Outcome {
  public:
    static Outcome done(const QString& warning = {}) { return Outcome(true, {}, warning); }
    static Outcome failed(const QString& reason) { return Outcome(false, reason, {}); }

    bool ok() const { return ok_; }
    // Why it was not done; empty when done.
    const QString& reason() const { return reason_; }
    const QString& warning() const { return warning_; }

  private:
    Outcome(bool ok, const QString& reason, const QString& warning)
        : ok_(ok), reason_(reason), warning_(warning) {}

    bool ok_;
    QString reason_;
    QString warning_;
};

// Why a system call failed, from its errno value, in words for the user.
QString systemReason(int error);
