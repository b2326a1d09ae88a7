#include "system/projectfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace {

const QString NotAFile = QStringLiteral("这不是一个文件");

// The reason of the system call that just failed, in the user's words when the system gave one.
QString failure(const QFileDevice& file) {
    return errno ? systemReason(errno) : file.errorString();
}

}  // namespace

Outcome readProjectFile(const QString& path, hydraulics::Project& project) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) return Outcome::failed(NotAFile);
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) return Outcome::failed(failure(file));
    // The reader refuses a file this large anyway; reading it whole first would take the
    // memory it refuses to spend.
    if (file.size() > qint64(hydraulics::ProjectMaxBytes)) {
        hydraulics::ProjectReadOutcome tooLarge;
        tooLarge.failure = hydraulics::ProjectFailure::TooLarge;
        return Outcome::failed(QString::fromStdString(tooLarge.reason()));
    }
    errno = 0;
    const QByteArray bytes = file.read(qint64(hydraulics::ProjectMaxBytes) + 1);
    if (file.error() != QFileDevice::NoError) return Outcome::failed(failure(file));
    hydraulics::ProjectReadOutcome read =
        hydraulics::readProject(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!read.ok()) return Outcome::failed(QString::fromStdString(read.reason()));
    project = std::move(*read.project);
    return Outcome::done();
}

Outcome writeProjectFile(const QString& path, const hydraulics::Project& project) {
    if (QFileInfo(path).isDir()) return Outcome::failed(NotAFile);
    const std::string bytes = hydraulics::writeProject(project);
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.commit()) {
        const QString reason = failure(file);
        file.cancelWriting();
        return Outcome::failed(reason);
    }
    return Outcome::done();
}
