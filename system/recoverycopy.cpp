#include "system/recoverycopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString ProjectName = QStringLiteral("水力计算表-恢复.qvs");
const QString SourceNoteName = QStringLiteral("水力计算表-恢复.来源");
const QString LockName = QStringLiteral("水力计算表-恢复.lock");
// A recovery copy is a project the program wrote itself; anything larger is not one.
constexpr qint64 MaxSourceNote = 64 * 1024;

Outcome writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Outcome::failed(file.errorString());
    return Outcome::done();
}

}  // namespace

RecoveryCopy::RecoveryCopy(const QString& folder)
    : folder_(folder),
      projectPath_(QDir(folder).filePath(ProjectName)),
      sourceNotePath_(QDir(folder).filePath(SourceNoteName)),
      lock_(QDir(folder).filePath(LockName)) {
    // Only a program that has gone leaves the lock stale, however long the other one has run.
    lock_.setStaleLockTime(0);
}

bool RecoveryCopy::claim() {
    if (lock_.isLocked()) return true;
    if (!QDir().mkpath(folder_)) return false;
    if (lock_.tryLock(0)) return true;
    // Held by another copy object of this same program (the sheet's, or the one that asks at
    // start): the program owns it all the same.
    qint64 pid = 0;
    QString hostName, appName;
    return lock_.getLockInfo(&pid, &hostName, &appName) &&
           pid == QCoreApplication::applicationPid();
}

bool RecoveryCopy::exists() { return QFileInfo(projectPath_).isFile() && claim(); }

Outcome RecoveryCopy::write(const QByteArray& project, const QString& sourcePath) {
    if (!QDir().mkpath(folder_))
        return Outcome::failed(QStringLiteral("无法建立文件夹“%1”").arg(folder_));
    if (!claim())
        return Outcome::failed(QStringLiteral("另一个正在运行的 Quorvel 正在使用恢复副本"));
    // The note first: a crash between the two leaves a project whose note names its file.
    if (Outcome note = writeAtomically(sourceNotePath_, sourcePath.toUtf8()); !note.ok())
        return note;
    return writeAtomically(projectPath_, project);
}

void RecoveryCopy::remove() {
    if (!claim()) return;
    QFile::remove(projectPath_);
    QFile::remove(sourceNotePath_);
}

QString RecoveryCopy::sourcePath() const {
    QFile note(sourceNotePath_);
    if (!note.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(note.read(MaxSourceNote));
}

QDateTime RecoveryCopy::written() const { return QFileInfo(projectPath_).lastModified(); }
