#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

// An input named on the command line: a file opened for reading, or standard input for "-".
// The file is closed with this object; standard input stays open.
class InputFile {
  public:
    explicit InputFile(const std::string& path)
        : fromStdin_(path == "-"),
          fd_(fromStdin_ ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC)),
          error_(fd_ < 0 ? errno : 0) {}
    ~InputFile() {
        if (!fromStdin_ && fd_ >= 0) ::close(fd_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool fromStdin() const { return fromStdin_; }
    // -1 when the file did not open; error() then holds errno.
    int fd() const { return fd_; }
    int error() const { return error_; }

  private:
    bool fromStdin_;
    int fd_;
    int error_;
};
