#include "record/record_file.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/whole_file.h"
#include "record/entry_line.h"

namespace zemtori {

namespace {

constexpr const char* REPLACEMENT = "\xEF\xBF\xBD";  // U+FFFD

// One iconv conversion, closed when it goes out of scope.
class Conversion {
public:
    Conversion(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Conversion() {
        if (ok()) iconv_close(cd_);
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in` into `out`.  At a sequence that cannot be
    // converted, `on_bad` decides: true skips one byte and goes on (after it
    // has written what stands for it), false stops with false.
    template <class OnBad>
    bool run(std::string_view in, std::string& out, OnBad on_bad) {
        out.clear();
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char buf[512];
        while (left > 0) {
            char* dst = buf;
            std::size_t room = sizeof buf;
            const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            if (!on_bad(out)) return false;
            ++src;
            --left;
        }
        return true;
    }

private:
    iconv_t cd_;
};

// The first `limit` characters of UTF-8 text.
std::string first_chars(std::string text, std::size_t limit) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars++ == limit) {
            text.resize(i);
            break;
        }
    }
    return text;
}


// The folder part of a path ("." for a bare name).
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The permissions the new file gets: those of the file it replaces, or what
// creating a file gives under the process's umask.
mode_t new_file_mode(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string file_failure_reason(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return "ｱｸｾｽが拒否されました";
    case ENOSPC:
        return "ﾃﾞｨｽｸに空きがありません";
    case EDQUOT:
        return "ﾃﾞｨｽｸの使用量が制限を超えています";
    case EFBIG:
        return "ﾌｧｲﾙが大きすぎます";
    case EIO:
        return "ﾃﾞｨｽｸの読み書きに失敗しました";
    case EROFS:
        return "読み取り専用のﾌｧｲﾙｼｽﾃﾑです";
    case ENAMETOOLONG:
        return "ﾌｧｲﾙ名が長すぎます";
    case EISDIR:
        return "ﾌｫﾙﾀﾞです";
    case ENOENT:
        return "見つかりません";
    default:
        return std::strerror(err);
    }
}

void set_record_write_seam(const RecordWriteSeam& seam) { set_whole_file_seam({seam.after_sync, seam.named_only}); }

bool LineReader::gyou_yomi(std::string& text) {
    if (rest_.empty()) return false;
    std::string_view line;
    const std::size_t lf = rest_.find('\n');
    if (lf == std::string_view::npos) {
        line = rest_;
        rest_ = {};
    } else {
        line = rest_.substr(0, lf);
        rest_.remove_prefix(lf + 1);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text.assign(line);
    return true;
}

bool to_cp932(std::string_view utf8, std::string& out) {
    Conversion c("CP932", "UTF-8");
    if (!c.ok()) return false;
    return c.run(utf8, out, [](std::string&) { return false; });
}

std::string from_cp932(std::string_view cp932) {
    std::string out;
    Conversion c("UTF-8", "CP932");
    if (!c.ok()) return out;
    c.run(cp932, out, [](std::string& o) {
        o += REPLACEMENT;
        return true;
    });
    return out;
}

bool format_record_file(const RecordFile& file, std::string& bytes, int& bad_line) {
    bytes.clear();
    bad_line = 0;
    const std::string* headers[] = {&file.title, &file.ue_player, &file.sita_player};
    std::string encoded;
    for (int i = 0; i < 3; ++i) {
        // A line end inside a header would make a line of its own.
        const std::string& h = *headers[i];
        if (h.find_first_of("\r\n") != std::string::npos || !to_cp932(h, encoded)) {
            bad_line = i + 1;
            bytes.clear();
            return false;
        }
        bytes += encoded;
        bytes += "\r\n";
    }
    bytes.reserve(bytes.size() + file.entries.size() * (ENTRY_LINE_LENGTH + 2));
    for (const RecordEntry& e : file.entries) {
        bytes += format_entry_line(e);
        bytes += "\r\n";
    }
    return true;
}

void clean_read_entry(RecordEntry& e) {
    keep_only_pieces(e);
    for (double* t : {&e.MAN_MAE, &e.MAN_ATO, &e.COM_MAE, &e.COM_ATO})
        if (*t < 0) *t = 0;
}

RecordFile parse_record_file(std::string_view bytes) {
    RecordFile file;
    LineReader reader(bytes);
    std::string line;
    for (std::string* header : {&file.title, &file.ue_player, &file.sita_player}) {
        line.clear();
        if (!reader.gyou_yomi(line)) break;
        *header = first_chars(from_cp932(line), MAX_HEADER_CHARS);
    }
    while (static_cast<int>(file.entries.size()) < MAX_RECORD_FILE_ENTRIES && reader.gyou_yomi(line)) {
        RecordEntry e = parse_entry_line(line);
        clean_read_entry(e);
        file.entries.push_back(e);
    }
    return file;
}

ReadFailure read_record_bytes(const std::string& path, std::string& bytes, std::string& reason) {
    return read_whole_file(path, MAX_RECORD_FILE_BYTES, bytes, reason);
}

ReadFailure read_whole_file(const std::string& path, std::size_t limit, std::string& bytes, std::string& reason) {
    bytes.clear();
    // Not blocking: a named pipe in the folder must not hang the game.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = file_failure_reason(errno);
        return ReadFailure::System;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = file_failure_reason(errno);
        ::close(fd);
        return ReadFailure::System;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? file_failure_reason(EISDIR) : "通常のﾌｧｲﾙではありません";
        ::close(fd);
        return ReadFailure::System;
    }
    if (static_cast<unsigned long long>(st.st_size) > limit) {
        ::close(fd);
        return ReadFailure::TooLarge;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = file_failure_reason(errno);
            ::close(fd);
            bytes.clear();
            return ReadFailure::System;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
        // The file may have grown since it was measured.
        if (bytes.size() > limit) {
            ::close(fd);
            bytes.clear();
            return ReadFailure::TooLarge;
        }
    }
    ::close(fd);
    return ReadFailure::None;
}

bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& reason) {
    ignore_file_size_signal();
    // A file the user made read-only is kept.  Root could write it, so its
    // permissions decide, not whether opening it would fail.  A link is
    // replaced itself, whatever it points to.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        if ((st.st_mode & 0222) == 0) {
            reason = "読み取り専用のﾌｧｲﾙです";
            return false;
        }
        if (::access(path.c_str(), W_OK) != 0) {
            reason = file_failure_reason(errno);
            return false;
        }
    }
    const std::string folder = folder_of(path);
    const int err = replace_whole(folder, path, folder + "/.zemtori-", bytes, new_file_mode(path));
    if (err != 0) {
        reason = file_failure_reason(err);
        return false;
    }
    return true;
}

}  // namespace zemtori
