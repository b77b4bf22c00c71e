// Replacing a file whole: the new bytes go to a file in the target's folder
// that gets a name only once it is complete on the disk (an unnamed file, or
// a named temporary file where the file system has no unnamed ones) and then
// takes the old file's place, so a write that fails or is killed leaves the
// old file as it was and nothing beside it.  The record files and the
// settings file are both written this way.
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
// characters.  The folder is synced once the new name is in place.  Returns
// 0, or the errno of what failed (the old file is then as it was).
int replace_whole(const std::string& folder, const std::string& path, const std::string& temp_prefix,
                  std::string_view bytes, mode_t mode);

// For tests of the writers: `after_sync` is called once the new bytes are on
// the disk and before the file takes its name; `named_only` keeps the writer
// to a named temporary file, as where the file system refuses unnamed ones.
struct WholeFileSeam {
    void (*after_sync)() = nullptr;
    bool named_only = false;
};
void set_whole_file_seam(const WholeFileSeam& seam);

}  // namespace zemtori
