#include "files/whole_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace zemtori {

namespace {

WholeFileSeam seam;

// Writes the bytes to `fd` and makes sure they are on the disk.
bool write_synced(int fd, std::string_view bytes, mode_t mode, int& err) {
    ::fchmod(fd, mode);
    const bool ok = write_all(fd, bytes) && ::fsync(fd) == 0;
    err = ok ? 0 : errno;
    if (ok && seam.after_sync) seam.after_sync();
    return ok;
}

// `prefix` and six characters unlikely to name a file already.
std::string temporary_name(const std::string& prefix, unsigned attempt) {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned long long v = static_cast<unsigned long long>(now.tv_nsec) * 2654435761ULL ^
                           static_cast<unsigned long long>(::getpid()) << 20 ^ attempt * 0x9E3779B97F4A7C15ULL;
    std::string name = prefix;
    for (int i = 0; i < 6; ++i, v /= 62) name += digits[v % 62];
    return name;
}

// Gives the unnamed file `fd` the name `to`: directly when the process may,
// otherwise through its entry in /proc.
bool link_unnamed(int fd, const std::string& to) {
    if (::linkat(fd, "", AT_FDCWD, to.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

enum class Written { Done, Failed, Refused };

// The new file is made without a name in the target's folder and gets one
// only once it is whole on the disk.  Refused where the file system has no
// unnamed files.
Written write_unnamed(const std::string& folder, const std::string& path, const std::string& temp_prefix,
                      std::string_view bytes, mode_t mode, int& err) {
    // Without /proc only root could name the file; the named way serves then.
    if (::access("/proc/self/fd", X_OK) != 0) return Written::Refused;
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        err = errno;
        return err == EOPNOTSUPP || err == EISDIR || err == EINVAL ? Written::Refused : Written::Failed;
    }
    bool ok = write_synced(fd, bytes, mode, err);
    // Straight to its name when no file has it yet; otherwise to a
    // temporary name and renamed over the old file.
    if (ok && !link_unnamed(fd, path)) {
        ok = errno == EEXIST;
        err = errno;
        bool linked = false;
        for (unsigned attempt = 0; ok && !linked && attempt < 100; ++attempt) {
            const std::string temp = temporary_name(temp_prefix, attempt);
            linked = link_unnamed(fd, temp);
            if (!linked) {
                ok = errno == EEXIST;
                err = errno;
                continue;
            }
            if (::rename(temp.c_str(), path.c_str()) != 0) {
                ok = false;
                err = errno;
                ::unlink(temp.c_str());
            }
        }
        ok = ok && linked;
        if (ok) err = 0;
    }
    ::close(fd);
    return ok ? Written::Done : Written::Failed;
}

// The named way: a temporary file beside the target, renamed over it.
Written write_named(const std::string& path, const std::string& temp_prefix, std::string_view bytes, mode_t mode,
                    int& err) {
    std::string temp = temp_prefix + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return Written::Failed;
    }
    bool ok = write_synced(fd, bytes, mode, err);
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok ? Written::Done : Written::Failed;
}

}  // namespace

void ignore_file_size_signal() {
    struct sigaction now {};
    if (::sigaction(SIGXFSZ, nullptr, &now) != 0 || (now.sa_flags & SA_SIGINFO) || now.sa_handler != SIG_DFL) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

int replace_whole(const std::string& folder, const std::string& path, const std::string& temp_prefix,
                  std::string_view bytes, mode_t mode) {
    int err = 0;
    Written w = Written::Refused;
    if (!seam.named_only) w = write_unnamed(folder, path, temp_prefix, bytes, mode, err);
    if (w == Written::Refused) w = write_named(path, temp_prefix, bytes, mode, err);
    if (w != Written::Done) return err != 0 ? err : EIO;
    // The new name itself reaches the disk with the folder.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

void set_whole_file_seam(const WholeFileSeam& s) { seam = s; }

}  // namespace zemtori
