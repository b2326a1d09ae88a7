#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tablefiles/workbook.h"

// The replacement of one file: a temporary file beside the target, renamed over it only once
// it is complete and on disk. POSIX only.
namespace tablefiles {

// Whether path can be a target at all: DriveLetter, IsFolder, FolderMissing,
// PermissionDenied (a read-only existing file) or None. Touches nothing.
WriteResult checkTarget(const std::string& path);

// The failure an errno value stands for, with that value and `what` as the detail.
WriteResult systemFailure(int error, const std::string& what);

class PendingFile {
  public:
    explicit PendingFile(std::string target);
    ~PendingFile();  // removes the temporary file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file, with the mode a new file at the target would get.
    WriteResult open();
    const std::string& temporaryPath() const { return temporaryPath_; }

    WriteResult write(std::span<const std::uint8_t> bytes);

    // Flushes the temporary file to disk, gives it the permission bits of the file it
    // replaces, and renames it over the target.
    WriteResult commit();

  private:
    std::string target_;
    std::string temporaryPath_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace tablefiles
