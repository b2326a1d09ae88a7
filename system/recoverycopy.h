#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "platform/outcome.h"

// The sheet's copy of a project with unsaved changes, written to the data folder while the
// user works so that a crash loses at most the time between two copies. Beside the project it
// keeps the path of the file the project came from, if any.
class RecoveryCopy {
  public:
    // `folder` is the program's data folder.
    explicit RecoveryCopy(const QString& folder);

    bool exists() const;
    Outcome write(const QByteArray& project, const QString& sourcePath) const;
    void remove() const;

    // The path of the file the copied project came from, empty for one never saved.
    QString sourcePath() const;
    QDateTime written() const;

    QString projectPath() const { return projectPath_; }

  private:
    QString folder_;
    QString projectPath_;
    QString sourceNotePath_;
};
