// Replacing a file whole, through each of its ways and each way it can
// fail: the old file stays as it was, nothing is left beside it, and the
// reason reads in Japanese.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "files/whole_file.h"
#include "record/record_file.h"
#include "test_support.h"

// Every fsync the writer makes, as what it makes durable: the bytes of the
// file, or "folder" for a folder; the steps the writer's seam is told of go
// into the same log, so the order of the two can be read.
std::vector<std::string> durable_log;
bool logging_durable = false;

extern "C" int fsync(int fd) {
    if (logging_durable) {
        struct stat st {};
        std::string what = "folder";
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            // Read through a descriptor of its own: the writer's may be
            // open for writing only.
            what.assign(static_cast<std::size_t>(st.st_size), '\0');
            const int reader = ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
            if (reader < 0 || ::pread(reader, what.data(), what.size(), 0) != static_cast<ssize_t>(what.size()))
                what = "unreadable";
            if (reader >= 0) ::close(reader);
        }
        durable_log.push_back("fsync " + what);
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace zemtori {
namespace {

namespace fs = std::filesystem;

// The steps a write went through, and the ones made to fail.
std::vector<FileStep> seen;
std::map<FileStep, int> failing;
int fail_steps(FileStep step) {
    seen.push_back(step);
    const auto f = failing.find(step);
    return f == failing.end() ? 0 : f->second;
}
bool was_seen(FileStep step) { return std::find(seen.begin(), seen.end(), step) != seen.end(); }

std::string text_of(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> names_in(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct WholeFile : ::testing::Test {
    fs::path dir;
    std::string path;  // a record file there, holding "previous"
    std::string reason;

    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "zemtori-whole-XXXXXX").string();
        dir = ::mkdtemp(name.data());
        path = (dir / "a.棋譜").string();
        ASSERT_TRUE(write_file_atomically(path, "previous", reason)) << reason;
    }
    void TearDown() override {
        set_whole_file_seam({});
        failing.clear();
        seen.clear();
        fs::remove_all(dir);
    }
    // Makes the writer's `steps` fail, and keeps it to the named way or not.
    void inject(std::map<FileStep, int> steps, bool named) {
        failing = std::move(steps);
        seen.clear();
        WholeFileSeam seam;
        seam.named_only = named;
        seam.before = fail_steps;
        set_whole_file_seam(seam);
    }
};

// Where the file system has no unnamed files the named way serves, and
// where the process may not name an unnamed file itself (older kernels, no
// privilege) the name is given through /proc: either way the file is
// replaced whole, or made, and nothing is left beside it.
TEST_F(WholeFile, EachFallbackReplacesTheFileWhole) {
    struct Case {
        FileStep step;
        int err;
        FileStep then;  // the step the fallback goes on with
    } cases[] = {
        {FileStep::OpenUnnamed, EOPNOTSUPP, FileStep::OpenNamed},
        {FileStep::OpenUnnamed, EISDIR, FileStep::OpenNamed},
        {FileStep::OpenUnnamed, EINVAL, FileStep::OpenNamed},
        {FileStep::LinkDirect, ENOENT, FileStep::LinkThroughProc},
        {FileStep::LinkDirect, EPERM, FileStep::LinkThroughProc},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "step " << static_cast<int>(c.step) << " errno " << c.err);
        const fs::path fresh = dir / "fresh.棋譜";
        for (const std::string& target : {path, fresh.string()}) {
            inject({{c.step, c.err}}, false);
            ASSERT_TRUE(write_file_atomically(target, "new " + target, reason)) << reason;
            EXPECT_TRUE(was_seen(c.then));
            EXPECT_EQ(text_of(target), "new " + target);
        }
        EXPECT_EQ(names_in(dir), (std::vector<std::string>{"a.棋譜", "fresh.棋譜"}));
        fs::remove(fresh);
    }
}

// Every step that fails, in either way, leaves the old file as it was and
// no new file and no temporary name, and says why in Japanese.
TEST_F(WholeFile, EachFailureLeavesTheOldFileAndNothingBeside) {
    const std::string access = "ｱｸｾｽが拒否されました";
    const std::string full = "ﾃﾞｨｽｸに空きがありません";
    const std::string quota = "ﾃﾞｨｽｸの使用量が制限を超えています";
    const std::string read_only = "読み取り専用のﾌｧｲﾙｼｽﾃﾑです";
    const std::string too_large = "ﾌｧｲﾙが大きすぎます";
    const std::string device = "ﾃﾞｨｽｸの読み書きに失敗しました";
    struct Case {
        std::map<FileStep, int> steps;
        bool named;
        FileStep failed;
        std::string why;
        bool new_file_too = true;  // also when no file has the name yet
    } cases[] = {
        {{{FileStep::OpenUnnamed, EACCES}}, false, FileStep::OpenUnnamed, access},
        {{{FileStep::OpenUnnamed, EROFS}}, false, FileStep::OpenUnnamed, read_only},
        {{{FileStep::OpenNamed, EROFS}}, true, FileStep::OpenNamed, read_only},
        {{{FileStep::OpenNamed, EACCES}}, true, FileStep::OpenNamed, access},
        {{{FileStep::Write, ENOSPC}}, false, FileStep::Write, full},
        {{{FileStep::Write, ENOSPC}}, true, FileStep::Write, full},
        {{{FileStep::Write, EDQUOT}}, false, FileStep::Write, quota},
        {{{FileStep::Write, EDQUOT}}, true, FileStep::Write, quota},
        {{{FileStep::Write, EFBIG}}, true, FileStep::Write, too_large},
        {{{FileStep::Sync, EIO}}, false, FileStep::Sync, device},
        {{{FileStep::Sync, EIO}}, true, FileStep::Sync, device},
        {{{FileStep::Sync, ENOSPC}}, true, FileStep::Sync, full},
        // No way to name the unnamed file: neither directly nor through /proc.
        {{{FileStep::LinkDirect, ENOENT}, {FileStep::LinkThroughProc, EACCES}}, false, FileStep::LinkThroughProc,
         access},
        {{{FileStep::LinkDirect, EROFS}}, false, FileStep::LinkDirect, read_only},
        // The rename fails once the temporary name stands: that name goes.
        {{{FileStep::Rename, EACCES}}, false, FileStep::Rename, access, false},
        {{{FileStep::Rename, EROFS}}, true, FileStep::Rename, read_only},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "step " << static_cast<int>(c.failed) << ", named " << c.named);
        const fs::path fresh = dir / "fresh.棋譜";
        std::vector<std::string> targets{path};
        if (c.new_file_too) targets.push_back(fresh.string());
        for (const std::string& target : targets) {
            inject(c.steps, c.named);
            EXPECT_FALSE(write_file_atomically(target, "new", reason)) << target;
            EXPECT_TRUE(was_seen(c.failed)) << target;
            EXPECT_EQ(reason, c.why) << target;
            EXPECT_EQ(text_of(path), "previous");
            EXPECT_EQ(names_in(dir), std::vector<std::string>{"a.棋譜"}) << target;
        }
    }
}

// A write killed between its temporary name and the rename leaves the whole
// new file under that name (there is no way to name a file over another at
// once); the next write into the folder removes it.
TEST_F(WholeFile, ANameLeftByAKilledWriteGoesWithTheNextWrite) {
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "unnamed");
        const int status = test::in_child([&] {
            WholeFileSeam seam;
            seam.named_only = named;
            seam.before = [](FileStep step) {
                if (step == FileStep::Rename) ::raise(SIGKILL);
                return 0;
            };
            set_whole_file_seam(seam);
            std::string why;
            write_file_atomically(path, "killed", why);
            return 0;
        });
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::vector<std::string> left = names_in(dir);
        ASSERT_EQ(left.size(), 2u);
        EXPECT_EQ(left[0].rfind(".zemtori-", 0), 0u) << left[0];
        EXPECT_EQ(text_of(dir / left[0]), "killed");
        EXPECT_EQ(text_of(path), "previous");

        std::string why;
        ASSERT_TRUE(write_file_atomically((dir / "b.棋譜").string(), "b", why)) << why;
        EXPECT_EQ(names_in(dir), (std::vector<std::string>{"a.棋譜", "b.棋譜"}));
        fs::remove(dir / "b.棋譜");
    }
}

// Only what a killed write of this writer leaves is removed: the exact
// pattern (the prefix and six letters or digits), a regular file, and one
// that no writer holds the lock of — a write at work in another process
// keeps its name.
TEST_F(WholeFile, OnlyStaleNamesOfTheWritersOwnPatternAreRemoved) {
    const std::vector<std::string> kept_files = {
        ".zemtori-Ab12C",  ".zemtori-Ab12Cde", ".zemtori-Ab1-Cd", "zemtori-Ab12Cd",
        ".Zemtori-Ab12Cd", ".zemtori-Ab12Cd.棋譜", "Zemtori.ini.Ab12Cd",
    };
    for (const std::string& name : kept_files) std::ofstream(dir / name) << "x";
    std::ofstream(dir / ".zemtori-Ab12Cd") << "stale";
    std::ofstream(dir / ".zemtori-0000zz") << "stale";
    fs::create_directory(dir / ".zemtori-dir001");
    ASSERT_EQ(::mkfifo((dir / ".zemtori-fifo01").c_str(), 0600), 0);
    fs::create_symlink(path, dir / ".zemtori-link01");
    std::ofstream(dir / ".zemtori-Lock01") << "being written";
    const int held = ::open((dir / ".zemtori-Lock01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    ASSERT_TRUE(write_file_atomically(path, "second", reason)) << reason;
    std::vector<std::string> expected = kept_files;
    for (const char* name : {"a.棋譜", ".zemtori-dir001", ".zemtori-fifo01", ".zemtori-link01", ".zemtori-Lock01"})
        expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names_in(dir), expected);
    EXPECT_EQ(text_of(path), "second");

    // Once its writer has gone, the locked one is stale too.
    ::close(held);
    ASSERT_TRUE(write_file_atomically(path, "third", reason)) << reason;
    expected.erase(std::find(expected.begin(), expected.end(), ".zemtori-Lock01"));
    EXPECT_EQ(names_in(dir), expected);
}

// A write at work keeps its temporary name while another write into the
// folder runs: at the last moment before the rename, in either way.
TEST_F(WholeFile, AnotherWriteLeavesTheNameOfAWriteAtWorkAlone) {
    static fs::path folder;
    folder = dir;
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "unnamed");
        seen.clear();
        WholeFileSeam seam;
        seam.named_only = named;
        seam.before = [](FileStep step) {
            seen.push_back(step);
            if (step == FileStep::Rename && std::count(seen.begin(), seen.end(), FileStep::Rename) == 1) {
                std::string why;
                write_file_atomically((folder / "other.棋譜").string(), "other", why);
            }
            return 0;
        };
        set_whole_file_seam(seam);
        ASSERT_TRUE(write_file_atomically(path, named ? "named" : "unnamed", reason)) << reason;
        EXPECT_EQ(text_of(path), named ? "named" : "unnamed");
        EXPECT_EQ(text_of(dir / "other.棋譜"), "other");
        EXPECT_EQ(names_in(dir), (std::vector<std::string>{"a.棋譜", "other.棋譜"}));
        fs::remove(dir / "other.棋譜");
    }
}

// Another user's name is theirs, whatever it looks like (only root can
// make one to try it with).
TEST_F(WholeFile, AnotherUsersNameIsLeftAlone) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    std::ofstream(dir / ".zemtori-Other1") << "theirs";
    ASSERT_EQ(::chown((dir / ".zemtori-Other1").c_str(), 4242, 4242), 0);
    ASSERT_TRUE(write_file_atomically(path, "second", reason)) << reason;
    EXPECT_EQ(names_in(dir), (std::vector<std::string>{".zemtori-Other1", "a.棋譜"}));
}

// A named temporary file another write takes for stale in the moment
// before it is locked is made again under another name.
TEST_F(WholeFile, ANamedFileRemovedBeforeItIsLockedIsMadeAgain) {
    static int nested = 0;
    static fs::path folder;
    folder = dir;
    nested = 0;
    WholeFileSeam seam;
    seam.named_only = true;
    seam.before = [](FileStep step) {
        seen.push_back(step);
        // Another write into the folder, at the worst moment, once.
        if (step == FileStep::LockNamed && nested++ == 0) {
            std::string why;
            write_file_atomically((folder / "other.棋譜").string(), "other", why);
        }
        return 0;
    };
    set_whole_file_seam(seam);
    ASSERT_TRUE(write_file_atomically(path, "second", reason)) << reason;
    // Made twice: the first was removed by the other write.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), FileStep::OpenNamed), 3);
    EXPECT_EQ(text_of(path), "second");
    EXPECT_EQ(text_of(dir / "other.棋譜"), "other");
    EXPECT_EQ(names_in(dir), (std::vector<std::string>{"a.棋譜", "other.棋譜"}));
}

// In either way the new bytes are on the disk before the file takes its
// name (a crash in between leaves the old file, never an empty or partly
// written one under the name), and the folder is synced once the name is in
// place.
TEST_F(WholeFile, TheNewBytesAreOnTheDiskBeforeTheFileTakesItsName) {
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "unnamed");
        durable_log.clear();
        WholeFileSeam seam;
        seam.named_only = named;
        seam.before = [](FileStep step) {
            durable_log.push_back("step " + std::to_string(static_cast<int>(step)));
            return 0;
        };
        set_whole_file_seam(seam);
        logging_durable = true;
        const bool ok = write_file_atomically(path, "durable bytes", reason);
        logging_durable = false;
        ASSERT_TRUE(ok) << reason;
        const auto at = [](const std::string& what) {
            return std::find(durable_log.begin(), durable_log.end(), what) - durable_log.begin();
        };
        const auto naming = std::min({at("step " + std::to_string(static_cast<int>(FileStep::LinkDirect))),
                                      at("step " + std::to_string(static_cast<int>(FileStep::LinkThroughProc))),
                                      at("step " + std::to_string(static_cast<int>(FileStep::Rename)))});
        const auto synced = at("fsync durable bytes");
        ASSERT_LT(naming, static_cast<long>(durable_log.size())) << "the file was named";
        EXPECT_LT(synced, naming) << ::testing::PrintToString(durable_log);
        EXPECT_NE(std::find(durable_log.begin() + naming, durable_log.end(), "fsync folder"), durable_log.end())
            << ::testing::PrintToString(durable_log);
        EXPECT_EQ(text_of(path), "durable bytes");
    }
}

}  // namespace
}  // namespace zemtori
