#include "service/log/log_storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace qm {
namespace {

class PosixLogFile final : public LogFile {
  public:
    PosixLogFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    PosixLogFile(const PosixLogFile&) = delete;
    PosixLogFile& operator=(const PosixLogFile&) = delete;
    ~PosixLogFile() override { ::close(fd_); }

    std::uint64_t initialSize() const override { return size_; }

    bool append(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

  private:
    const int fd_;
    const std::uint64_t size_;
};

}  // namespace

bool FileLogStorage::ensureDirectory(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path path(folder);
    if (std::filesystem::is_directory(path, error)) {
        return true;
    }
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

// A log file is a regular file of its own. Whoever may write into the log folder must not be
// able to make the service write elsewhere: a symbolic link in the file's place is not followed,
// a file that is also known by another name (a hard link to some other file) is not written, and
// a pipe is not waited on (O_NONBLOCK makes opening one without a reader fail at once).
std::unique_ptr<LogFile> FileLogStorage::openForAppend(const std::string& path) {
    // O_APPEND: every write lands at the current end, whoever else has the file open.
    const int fd = ::open(
        path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixLogFile>(fd, static_cast<std::uint64_t>(info.st_size));
}

FileLogStorage& FileLogStorage::instance() {
    static FileLogStorage storage;
    return storage;
}

}  // namespace qm
