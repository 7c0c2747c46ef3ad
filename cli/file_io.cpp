#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string reason(const std::string &what, const std::string &path, int error_number) {
    return "cannot " + what + " " + path + ": " + std::strerror(error_number);
}

// Closes the descriptor when the reading or writing function returns.
class descriptor {
public:
    explicit descriptor(int fd) : fd_(fd) {}
    ~descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    descriptor(const descriptor &) = delete;
    descriptor &operator=(const descriptor &) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error of close(), which is where some file systems
    // report a failed write.
    int close() {
        int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

}  // namespace

bool read_regular_file(const std::string &path, std::string &content, std::string &error) {
    // O_NONBLOCK: opening a FIFO without a writer must not wait; such a file is
    // refused right after by the type check.
    descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        error = reason("open", path, errno);
        return false;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        error = reason("read", path, errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "cannot read " + path + ": " + (S_ISDIR(info.st_mode) ? "is a directory" : "not a regular file");
        return false;
    }
    content.clear();
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = reason("read", path, errno);
            return false;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

bool write_file(const std::string &path, std::string_view content, std::string &error) {
    descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        error = reason("create", path, errno);
        return false;
    }
    while (!content.empty()) {
        ssize_t n = ::write(file.get(), content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            error = reason("write", path, errno);
            return false;
        }
        content.remove_prefix(static_cast<size_t>(n));
    }
    if (file.close() != 0) {
        error = reason("write", path, errno);
        return false;
    }
    return true;
}
