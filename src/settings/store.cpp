#include "settings/store.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace zemtori {

namespace fs = std::filesystem;

namespace {

// A settings file is a few dozen bytes; this is far more than its four lines.
constexpr std::size_t READ_LIMIT = 64 * 1024;
// Links followed from the settings file to the file it stands for.
constexpr int LINK_LIMIT = 40;

bool absolute(const char* folder) { return folder != nullptr && *folder != '\0' && fs::path(folder).is_absolute(); }

// Makes `folder` and the missing folders above it, private to the user as a
// configuration folder should be.
bool make_folders(const fs::path& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT) return false;
    const fs::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder && !make_folders(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
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

// The file a chain of links ends at; the path itself when it is no link.
std::optional<fs::path> link_target(fs::path path) {
    std::error_code ec;
    for (int i = 0; i < LINK_LIMIT; ++i) {
        if (!fs::is_symlink(path, ec)) return path;
        const fs::path to = fs::read_symlink(path, ec);
        if (ec) return std::nullopt;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return std::nullopt;
}

SettingsWriteSeam write_seam;

// The same way of replacing a file whole as the record files' writer (the
// two layers do not share code): an unnamed file in the folder, named only
// once it is on the disk, or a named temporary file where the file system
// has no unnamed ones.

// A size limit fails the write instead of ending the program, unless someone
// has taken the signal for their own.
void ignore_file_size_signal() {
    struct sigaction now {};
    if (::sigaction(SIGXFSZ, nullptr, &now) != 0 || (now.sa_flags & SA_SIGINFO) || now.sa_handler != SIG_DFL) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

enum class Written { Done, Failed, Refused };

bool write_synced(int fd, std::string_view bytes, mode_t mode) {
    ::fchmod(fd, mode);
    const bool ok = write_all(fd, bytes) && ::fsync(fd) == 0;
    if (ok && write_seam.after_sync) write_seam.after_sync();
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

// Names the unnamed file `fd`: directly when the process may, otherwise
// through its entry in /proc.
bool link_unnamed(int fd, const std::string& to) {
    if (::linkat(fd, "", AT_FDCWD, to.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

Written write_unnamed(const std::string& folder, const std::string& path, const std::string& temp_prefix,
                      std::string_view bytes, mode_t mode) {
    if (::access("/proc/self/fd", X_OK) != 0) return Written::Refused;
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? Written::Refused : Written::Failed;
    bool ok = write_synced(fd, bytes, mode);
    // Straight to the name when it is free, else renamed over the old file.
    if (ok && !link_unnamed(fd, path)) {
        ok = errno == EEXIST;
        bool linked = false;
        for (unsigned attempt = 0; ok && !linked && attempt < 100; ++attempt) {
            const std::string temp = temporary_name(temp_prefix, attempt);
            linked = link_unnamed(fd, temp);
            if (!linked) {
                ok = errno == EEXIST;
            } else if (::rename(temp.c_str(), path.c_str()) != 0) {
                ok = false;
                ::unlink(temp.c_str());
            }
        }
        ok = ok && linked;
    }
    ::close(fd);
    return ok ? Written::Done : Written::Failed;
}

Written write_named(const std::string& path, const std::string& temp_prefix, std::string_view bytes, mode_t mode) {
    std::string temp = temp_prefix + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return Written::Failed;
    bool ok = write_synced(fd, bytes, mode);
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok ? Written::Done : Written::Failed;
}

}  // namespace

void set_settings_write_seam(const SettingsWriteSeam& seam) { write_seam = seam; }

fs::path settings_path(const char* xdg_config_home, const char* home) {
    fs::path folder;
    if (absolute(xdg_config_home)) folder = xdg_config_home;
    else if (absolute(home)) folder = fs::path(home) / ".config";
    else return {};
    return folder / "zemtori" / SETTINGS_FILE_NAME;
}

fs::path settings_path() { return settings_path(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

std::optional<std::string> read_settings_file(const fs::path& path) {
    if (path.empty()) return std::nullopt;
    // Not blocking: a pipe in the file's place is turned away below, not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes(READ_LIMIT, '\0');
    std::size_t got = 0;
    while (got < READ_LIMIT) {
        const ssize_t n = ::read(fd, bytes.data() + got, READ_LIMIT - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    // Cut off at the limit, a line may have lost its end: it is not there.
    if (got == READ_LIMIT) {
        const std::size_t end = bytes.find_last_of("\r\n");
        bytes.resize(end == std::string::npos ? 0 : end + 1);
    }
    return bytes;
}

bool replace_settings_file(const fs::path& path, std::string_view bytes) {
    if (path.empty()) return false;
    ignore_file_size_signal();
    const std::optional<fs::path> target = link_target(path);
    if (!target) return false;
    const fs::path folder = target->parent_path();
    if (!make_folders(folder)) return false;
    // Only a regular file is replaced, or one that is not there yet: a pipe
    // or a device the name leads to is left alone, and so is a file the user
    // made read-only (its permissions decide, as root could write it).  A new
    // file is private to the user; a replaced one keeps its permissions.
    mode_t mode = 0600;
    struct stat st;
    if (::lstat(target->c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target->c_str(), W_OK) != 0) return false;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }
    const std::string temp_prefix = (folder / (target->filename().native() + ".")).native();
    Written w = Written::Refused;
    if (!write_seam.named_only) w = write_unnamed(folder.native(), target->native(), temp_prefix, bytes, mode);
    if (w == Written::Refused) w = write_named(target->native(), temp_prefix, bytes, mode);
    if (w != Written::Done) return false;
    // The new name reaches the disk with its folder.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace zemtori
