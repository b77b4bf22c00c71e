#include "files/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace zemtori {

namespace {

WholeFileSeam seam;

// False, with errno set, when a test makes `step` fail.
bool may(FileStep step) {
    if (seam.before == nullptr) return true;
    const int err = seam.before(step);
    if (err == 0) return true;
    errno = err;
    return false;
}

constexpr int NAME_TRIES = 100;
constexpr std::size_t RANDOM_CHARS = 6;
const char NAME_CHARS[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Writes the bytes to `fd` and makes sure they are on the disk.
bool write_synced(int fd, std::string_view bytes, mode_t mode, int& err) {
    ::fchmod(fd, mode);
    const bool ok = may(FileStep::Write) && write_all(fd, bytes) && may(FileStep::Sync) && ::fsync(fd) == 0;
    err = ok ? 0 : errno;
    if (ok && seam.after_sync) seam.after_sync();
    return ok;
}

// `prefix` and six characters unlikely to name a file already.
std::string temporary_name(const std::string& prefix, unsigned attempt) {
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned long long v = static_cast<unsigned long long>(now.tv_nsec) * 2654435761ULL ^
                           static_cast<unsigned long long>(::getpid()) << 20 ^ attempt * 0x9E3779B97F4A7C15ULL;
    std::string name = prefix;
    for (std::size_t i = 0; i < RANDOM_CHARS; ++i, v /= 62) name += NAME_CHARS[v % 62];
    return name;
}

// Whether `name` is `prefix` and six letters or digits: a temporary name of
// this writer's.
bool temporary_name_of(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + RANDOM_CHARS || name.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i)
        if (std::strchr(NAME_CHARS, name[i]) == nullptr) return false;
    return true;
}

// The lock a writer holds on its file while the file has a temporary name.
// Where the file system has no locks the writer goes on without one (and
// such names are then never taken for stale).
void lock(int fd) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

// Removes the name `name` in the folder `dir` when it is a regular file of
// this user that no writer holds the lock of: what a killed write left.
void remove_if_stale(int dir, const char* name) {
    struct stat named {};
    if (::fstatat(dir, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
        named.st_uid != ::geteuid())
        return;
    int fd = ::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fd = ::openat(dir, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat opened {};
    // Still the same file under that name once it is locked: a writer that
    // held it has renamed it, or is waiting for the lock to find it gone.
    if (::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstatat(dir, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)
        ::unlinkat(dir, name, 0);
    ::close(fd);
}

// Removes what writes killed between their two names left in `folder`.
void remove_stale_temporaries(const std::string& folder, const std::string& temp_prefix) {
    const std::size_t slash = temp_prefix.rfind('/');
    const std::string prefix = slash == std::string::npos ? temp_prefix : temp_prefix.substr(slash + 1);
    if (prefix.empty()) return;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    DIR* list = ::fdopendir(dir);
    if (list == nullptr) {
        ::close(dir);
        return;
    }
    while (const dirent* e = ::readdir(list)) {
        if (e->d_type != DT_REG && e->d_type != DT_UNKNOWN) continue;
        if (temporary_name_of(e->d_name, prefix)) remove_if_stale(dir, e->d_name);
    }
    ::closedir(list);
}

// Gives the unnamed file `fd` the name `to`: directly when the process may,
// otherwise through its entry in /proc.
bool link_unnamed(int fd, const std::string& to) {
    if (may(FileStep::LinkDirect) && ::linkat(fd, "", AT_FDCWD, to.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return may(FileStep::LinkThroughProc) &&
           ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

enum class Written { Done, Failed, Refused };

// The new file is made without a name in the target's folder and gets one
// only once it is whole on the disk.  Refused where the file system has no
// unnamed files.
Written write_unnamed(const std::string& folder, const std::string& path, const std::string& temp_prefix,
                      std::string_view bytes, mode_t mode, int& err) {
    // Without /proc only root could name the file; the named way serves then.
    if (::access("/proc/self/fd", X_OK) != 0) return Written::Refused;
    const int fd = may(FileStep::OpenUnnamed) ? ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600) : -1;
    if (fd < 0) {
        err = errno;
        return err == EOPNOTSUPP || err == EISDIR || err == EINVAL ? Written::Refused : Written::Failed;
    }
    // Locked before it has any name, so no temporary name of this write is
    // ever taken for a stale one.
    lock(fd);
    bool ok = write_synced(fd, bytes, mode, err);
    // Straight to its name when no file has it yet; otherwise to a
    // temporary name and renamed over the old file.
    if (ok && !link_unnamed(fd, path)) {
        ok = errno == EEXIST;
        err = errno;
        bool linked = false;
        for (unsigned attempt = 0; ok && !linked && attempt < NAME_TRIES; ++attempt) {
            const std::string temp = temporary_name(temp_prefix, attempt);
            linked = link_unnamed(fd, temp);
            if (!linked) {
                ok = errno == EEXIST;
                err = errno;
                continue;
            }
            if (!may(FileStep::Rename) || ::rename(temp.c_str(), path.c_str()) != 0) {
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

// A named temporary file beside the target, locked.  A write into the folder
// that took it for stale before it was locked has removed it; then another.
int open_named(std::string& temp, const std::string& temp_prefix) {
    for (int attempt = 0; attempt < NAME_TRIES; ++attempt) {
        temp = temp_prefix + "XXXXXX";
        const int fd = may(FileStep::OpenNamed) ? ::mkostemp(temp.data(), O_CLOEXEC) : -1;
        if (fd < 0) return -1;
        if (!may(FileStep::LockNamed)) {
            const int err = errno;
            ::unlink(temp.c_str());
            ::close(fd);
            errno = err;
            return -1;
        }
        lock(fd);
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_nlink > 0) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// The named way: a temporary file beside the target, renamed over it.
Written write_named(const std::string& path, const std::string& temp_prefix, std::string_view bytes, mode_t mode,
                    int& err) {
    std::string temp;
    const int fd = open_named(temp, temp_prefix);
    if (fd < 0) {
        err = errno;
        return Written::Failed;
    }
    bool ok = write_synced(fd, bytes, mode, err);
    if (ok && (!may(FileStep::Rename) || ::rename(temp.c_str(), path.c_str()) != 0)) {
        ok = false;
        err = errno;
    }
    if (!ok) ::unlink(temp.c_str());
    // Closed only now, so the lock stands as long as the temporary name
    // does; the bytes were on the disk before the rename.
    ::close(fd);
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
    remove_stale_temporaries(folder, temp_prefix);
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
