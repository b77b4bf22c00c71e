#include "settings/store.h"

#include "files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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

}  // namespace

void set_settings_write_seam(const SettingsWriteSeam& seam) { set_whole_file_seam({seam.after_sync, seam.named_only}); }

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
    if (replace_whole(folder.native(), target->native(), temp_prefix, bytes, mode) != 0) return false;
    return true;
}

}  // namespace zemtori
