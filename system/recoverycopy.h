#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>

#include "platform/outcome.h"

// The sheet's copy of a project with unsaved changes, written to the data folder while the
// user works so that a crash loses at most the time between two copies. Beside the project it
// keeps the path of the file the project came from, if any. One program at a time owns the
// copy (a lock file beside it, which a crashed program leaves stale): a second program started
// while the first is running neither offers, overwrites nor removes the first one's copy.
class RecoveryCopy {
  public:
    // `folder` is the program's data folder.
    explicit RecoveryCopy(const QString& folder);

    // Takes the copy for this program; false while another running program holds it.
    bool claim();
    // A copy is there and this program owns it.
    bool exists();
    Outcome write(const QByteArray& project, const QString& sourcePath);
    void remove();

    // The path of the file the copied project came from, empty for one never saved.
    QString sourcePath() const;
    QDateTime written() const;

    QString projectPath() const { return projectPath_; }

  private:
    QString folder_;
    QString projectPath_;
    QString sourceNotePath_;
    QLockFile lock_;
};
