// Replacing a file whole: the new bytes go to a file in the target's folder
// that gets a name only once it is complete on the disk (an unnamed file, or
// a named temporary file where the file system has no unnamed ones) and then
// takes the old file's place, so a write that fails or is killed leaves the
// old file as it was and nothing beside it (but for the moment between a
// temporary name and the rename; see replace_whole).  The record files and
// the settings file are both written this way.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace zemtori {

// A file-size limit makes a write fail with EFBIG, like a full disk, instead
// of ending the program; the signal is set to be ignored only while it is
// still at its default action (nobody has taken it for their own).
void ignore_file_size_signal();

// Writes all of `bytes` to `fd`, going on after a short write or an
// interruption.
bool write_all(int fd, std::string_view bytes);

// Writes `bytes` as the file `path` in `folder`, with the permission bits
// `mode`; a temporary name, where one is needed, is `temp_prefix` and six
// letters or digits.  The folder is synced once the new name is in place.
// Returns 0, or the errno of what failed (the old file is then as it was).
//
// A writer holds a lock on its file for as long as the temporary name
// exists.  A write killed while that name stands leaves it behind; the next
// write into the folder removes every such name of the same prefix that is
// a regular file of this user and nobody holds the lock of.  No other name
// is touched.
int replace_whole(const std::string& folder, const std::string& path, const std::string& temp_prefix,
                  std::string_view bytes, mode_t mode);

// The steps of a write, as a test may make one of them fail.
enum class FileStep {
    OpenUnnamed,      // making the unnamed file in the folder
    LinkDirect,       // naming it directly
    LinkThroughProc,  // naming it through its entry in /proc
    OpenNamed,        // making a named temporary file
    LockNamed,        // locking it (a write into the folder may just have taken it for stale)
    Write,            // writing the bytes
    Sync,             // flushing them to the disk
    Rename,           // putting the new file in the old one's place
};

// For tests of the writers: `after_sync` is called once the new bytes are on
// the disk and before the file takes its name; `named_only` keeps the writer
// to a named temporary file, as where the file system refuses unnamed ones;
// `before` is called before each step, and a result other than 0 makes the
// step fail with that errno instead of being tried.
struct WholeFileSeam {
    void (*after_sync)() = nullptr;
    bool named_only = false;
    int (*before)(FileStep step) = nullptr;
};
void set_whole_file_seam(const WholeFileSeam& seam);

}  // namespace zemtori
