#include "tablefiles/pendingfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace tablefiles {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

WriteResult failure(WriteFailure kind, int error, std::string detail) {
    return {kind, error, std::move(detail)};
}

}  // namespace

WriteResult systemFailure(int error, const std::string& what) {
    std::string detail = what + ": " + std::strerror(error);
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return failure(WriteFailure::PermissionDenied, error, detail);
        case ENOSPC:
        case EDQUOT:
            return failure(WriteFailure::NoSpace, error, detail);
        case ENOENT:
        case ENOTDIR:
            return failure(WriteFailure::FolderMissing, error, detail);
        case EISDIR:
            return failure(WriteFailure::IsFolder, error, detail);
        default:
            return failure(WriteFailure::Other, error, detail);
    }
}

WriteResult checkTarget(const std::string& path) {
#ifndef _WIN32
    // "E:\..." or "E:/..." was meant for a system with drives; here it would silently become
    // a file named "E:\..." in the working folder, or a folder "E:" that does not exist.
    if (path.size() >= 3 &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
        path[1] == ':' && (path[2] == '\\' || path[2] == '/'))
        return failure(WriteFailure::DriveLetter, 0, "drive letter in " + path);
#endif
    if (path.empty()) return failure(WriteFailure::Other, ENOENT, "empty path");
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode)) return failure(WriteFailure::IsFolder, EISDIR, path);
        // Renaming over a device or a pipe would replace it with a plain file.
        if (!S_ISREG(target.st_mode))
            return failure(WriteFailure::Other, 0, "not a regular file: " + path);
        if (::access(path.c_str(), W_OK) != 0) return systemFailure(errno, path);
        return {};
    }
    if (errno != ENOENT) return systemFailure(errno, path);
    if (path.back() == '/') return failure(WriteFailure::FolderMissing, ENOENT, path);
    const std::string folder = folderOf(path);
    struct stat parent {};
    if (::stat(folder.c_str(), &parent) != 0) return systemFailure(errno, folder);
    if (!S_ISDIR(parent.st_mode)) return failure(WriteFailure::FolderMissing, ENOTDIR, folder);
    return {};
}

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {}

PendingFile::~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

WriteResult PendingFile::open() {
    const std::string folder = folderOf(target_);
    const std::string prefix = (folder == "/" ? "" : folder) + "/.quorvel-";
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    std::mt19937 generator(entropy());
    std::uniform_int_distribution<int> pick(0, sizeof Letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 12; ++i) name.push_back(Letters[pick(generator)]);
        name += ".tmp";
        // 0666: the kernel applies the umask and the folder's default ACL, as it would to a
        // new target file.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporaryPath_ = std::move(name);
            return {};
        }
        if (errno != EEXIST) return systemFailure(errno, folder);
    }
    return failure(WriteFailure::Other, EEXIST, "no free temporary name in " + folder);
}

WriteResult PendingFile::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return systemFailure(errno, temporaryPath_);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return {};
}

WriteResult PendingFile::commit() {
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && ::fchmod(fd_, old.st_mode & 07777) != 0)
        return systemFailure(errno, temporaryPath_);
    if (::fsync(fd_) != 0) return systemFailure(errno, temporaryPath_);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return systemFailure(errno, temporaryPath_);
    if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
        return systemFailure(errno, target_);
    committed_ = true;
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

}  // namespace tablefiles
