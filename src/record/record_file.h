// Record files (".棋譜"): a game's title, its two players and its record.
//
//   line 1   the game's title
//   line 2   the upper side's player
//   line 3   the lower side's player
//   line 4…  one entry line (record/entry_line.h) per record entry 1, 2, …
//
// The text is Shift-JIS (CP932) with CR LF line ends; inside the program all
// text is UTF-8.  Reading also takes lines ended by a lone LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "record/entry.h"

namespace zemtori {

// A file larger than this is refused unread.
constexpr std::size_t MAX_RECORD_FILE_BYTES = 10 * 1024 * 1024;
// Entry lines read at most: about as many whole 333-column lines as a file
// within the size limit holds, so only a file of short or empty lines is cut,
// and whatever was read can be written and read back.
constexpr int MAX_RECORD_FILE_ENTRIES = 30000;
// Characters of a header line kept when reading (the save panel's fields hold
// as many).
constexpr std::size_t MAX_HEADER_CHARS = 1000;

struct RecordFile {
    std::string title;       // line 1
    std::string ue_player;   // line 2
    std::string sita_player; // line 3
    std::vector<RecordEntry> entries;  // record entries 1, 2, … in order
};

// The lines of a file held in memory.  A line ends at LF, and a CR just before
// the LF (or at the very end) is not part of it; the last line may lack its end.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}
    // Reads the next line into `text` and returns true; at the end of the file
    // returns false and leaves `text` as it was.
    bool gyou_yomi(std::string& text);

private:
    std::string_view rest_;
    bool done_ = false;
};

// UTF-8 to CP932; false when the text holds a character CP932 has no code for
// (or is not UTF-8).
bool to_cp932(std::string_view utf8, std::string& out);
// CP932 to UTF-8; a byte that starts no CP932 character reads as U+FFFD.
std::string from_cp932(std::string_view cp932);

// The file's bytes.  False, with `bad_line` the header line (1, 2 or 3), when
// a header cannot be written in CP932.
bool format_record_file(const RecordFile& file, std::string& bytes, int& bad_line);

// What an entry read from a file keeps: codes that are pieces, hand slots a
// hand can hold (keep_only_pieces) and times from 0 up.  An entry the game
// wrote is kept exactly.
void clean_read_entry(RecordEntry& entry);

// Reads a whole file: the three header lines (a missing one reads empty, a
// long one keeps its first MAX_HEADER_CHARS characters) and every further
// line as an entry, cleaned, up to MAX_RECORD_FILE_ENTRIES of them.
RecordFile parse_record_file(std::string_view bytes);

// Why a file could not be used, for the file boxes: the common reasons in
// Japanese, the system's text for the rest.
std::string file_failure_reason(int err);

// Files on disk.  Each returns false with the reason on failure.
enum class ReadFailure { None, System, TooLarge };
// The whole of a regular file of at most MAX_RECORD_FILE_BYTES.
ReadFailure read_record_bytes(const std::string& path, std::string& bytes, std::string& reason);
// The same for a file of at most `limit` bytes.
ReadFailure read_whole_file(const std::string& path, std::size_t limit, std::string& bytes, std::string& reason);
// Replaces the file at `path` by `bytes` all at once: a new file in the same
// folder is written and flushed to the disk with no name (or, where the file
// system has no unnamed files, under a temporary one) and only then takes the
// place of the old one, so a failure at any point leaves the previous file as
// it was, and a killed save leaves nothing behind (but for a save killed
// between its temporary name and the rename, whose ".zemtori-" name the next
// save into the folder removes).  A regular file without
// write permission is kept (reason: read-only); a link is replaced itself.
// Saving sets the file-size signal, when still at its default action, to be
// ignored: a size limit fails the write instead of ending the program.
bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& reason);

// For tests of the writer: `after_sync` is called once the new bytes are on
// the disk and before the file takes the name it is written for; `named_only`
// keeps the writer to a named temporary file, as where the file system
// refuses unnamed ones.
struct RecordWriteSeam {
    void (*after_sync)() = nullptr;
    bool named_only = false;
};
void set_record_write_seam(const RecordWriteSeam& seam);

}  // namespace zemtori
