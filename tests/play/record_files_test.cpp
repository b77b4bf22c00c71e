// Saving a game as a ".棋譜" file and reading one back, through the menus and
// the record-file controls of the headless window.
#include "play_fixture.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "record/entry_line.h"
#include "play/record_files.h"
#include "rules/legality.h"
#include "sound/effects.h"

namespace zemtori::test {
namespace {

namespace fs = std::filesystem;

std::string file_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put_file(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(at) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

struct RecordFiles : PlayTest {
    fs::path dir;

    void SetUp() override {
        PlayTest::SetUp();
        dir = fs::temp_directory_path() / ("zemtori-play-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        port.file_folder = dir.string();
    }
    void TearDown() override { fs::remove_all(dir); }

    // Plays `n` moves between two people: each the first move, in scan
    // order, of a piece of the side to move onto an empty square.
    void play_moves(int n) {
        game.menu("START");
        for (int i = 0; i < n; ++i) {
            port.now += 1.25 + i;
            const int tesu = game.turn.TESU;
            for (int fx = 1; fx <= 9 && game.turn.TESU == tesu; ++fx)
                for (int fy = 1; fy <= 9 && game.turn.TESU == tesu; ++fy) {
                    const int koma = game.pos.BAN[fx][fy];
                    if (koma == 0 || (koma > 0) != (game.turn.TEBAN == game.turn.COM_GAWA)) continue;
                    for (int tx = 1; tx <= 9 && game.turn.TESU == tesu; ++tx)
                        for (int ty = 1; ty <= 9 && game.turn.TESU == tesu; ++ty)
                            if (game.pos.BAN[tx][ty] == 0 && idou_kanou(game.pos, fx, fy, tx, ty, koma) == 1)
                                move(fx, fy, tx, ty, MIGI_BUTTON);
                }
            ASSERT_EQ(game.turn.TESU, tesu + 1) << "no move found";
        }
    }

    void save(const std::string& name, const std::string& title = "対局",
              const std::string& sente = "先手太郎", const std::string& gote = "後手花子") {
        game.menu("KIFU_WRITE");
        port.set_record_text(RecordText::Text1, name);
        port.set_record_text(RecordText::Text2, title);
        port.set_record_text(RecordText::Text3, sente);
        port.set_record_text(RecordText::Text4, gote);
        game.record_control_used(RecordControl::SavePanel);
    }

    void open(const std::string& file) {
        game.menu("KIFU_READ");
        port.selections[RecordControl::FileList] = file;
        game.record_control_used(RecordControl::FileList);
    }

    bool shown(RecordControl c) { return port.record_controls[c]; }
    bool files_in_dir(int n) { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()) == n; }

    const HeadlessPort::Op* text_op(const std::string& text) const {
        for (const auto& op : port.ops)
            if (op.kind == HeadlessPort::OpKind::Text && op.text == text) return &op;
        return nullptr;
    }
};

TEST_F(RecordFiles, ASavedGameReadsBackEntryByEntry) {
    play_moves(6);
    ASSERT_EQ(game.kifu.KIFU_SAIGO, 5);
    std::vector<std::string> expected;
    for (int n = 1; n <= 5; ++n) expected.push_back(format_entry_line(game.kifu.entry(n)));
    EXPECT_NE(game.kifu.entry(3).MAN_ATO, static_cast<int>(game.kifu.entry(3).MAN_ATO));  // has a fraction

    game.menu("KIFU_WRITE");
    EXPECT_TRUE(shown(RecordControl::DriveList));
    EXPECT_TRUE(shown(RecordControl::DirList));
    EXPECT_FALSE(shown(RecordControl::FileList));
    EXPECT_TRUE(shown(RecordControl::SavePanel));
    const int reads = port.file_list_reads;
    save("第1局");
    EXPECT_EQ(last_message().text, "棋譜を書き込みました");
    EXPECT_EQ(last_message().title, "  ");
    EXPECT_FALSE(shown(RecordControl::SavePanel));
    EXPECT_FALSE(shown(RecordControl::DriveList));
    EXPECT_EQ(port.record_text(RecordText::Text2), "");
    EXPECT_EQ(port.file_list_reads, reads + 1);  // the new file shows in the list

    // The human moved first: line 2 names the second player, line 3 the human.
    const std::vector<std::string> lines = lines_of(file_bytes(dir / "第1局.棋譜"));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "\x91\xce\x8b\xc7");
    EXPECT_EQ(lines[1], "\x8c\xe3\x8e\xe8\x89\xd4\x8e\x71");
    EXPECT_EQ(lines[2], "\x90\xe6\x8e\xe8\x91\xbe\x98\x59");
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(lines[2 + n], expected[n - 1]) << "entry " << n;

    // Another game overwrites the record in memory; reading brings it back.
    game.menu("CANCEL");
    play_moves(9);
    port.clear();
    open("第1局.棋譜");
    EXPECT_FALSE(shown(RecordControl::FileList));
    EXPECT_EQ(game.kifu.KIFU_SAIGO, 5);
    EXPECT_EQ(game.kifu.KIFU_TESU, 0);
    EXPECT_EQ(game.turn.TESU, 0);
    EXPECT_EQ(game.turn.TEBAN, 1);
    EXPECT_EQ(game.turn.KIFU_MODE, 1);
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(format_entry_line(game.kifu.entry(n)), expected[n - 1]);
    EXPECT_EQ(game.kifu.entry(3).MAN_ATO, static_cast<int>(game.kifu.entry(3).MAN_ATO));
    ASSERT_EQ(port.messages.size(), 2u);
    EXPECT_EQ(port.messages[0].text, " 読み込みました");
    EXPECT_EQ(port.messages[0].title, "棋譜");
    EXPECT_EQ(port.messages[1].text, "棋譜を '進 'で進めて下さい");
    EXPECT_EQ(port.messages[1].title, "棋譜");

    // 進 steps through the file's positions, and says 終わり at the end.
    for (int n = 1; n <= 5; ++n) {
        game.menu("AFTER");
        RecordEntry shown_entry = game.kifu.entry(n);
        store_position(game.pos, shown_entry);
        EXPECT_EQ(format_entry_line(shown_entry), expected[n - 1]);
    }
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "終わり");
    EXPECT_EQ(sounds(KINSHI_WAV), 0);
}

TEST_F(RecordFiles, WhenTheHumanMovesSecondLineTwoNamesTheFirstPlayer) {
    play_moves(2);
    game.turn.MAN_GAWA = -1;  // as in a game against the computer moving first
    game.turn.COM_GAWA = 1;
    save("gote", "t", "Sente", "Gote");
    const std::vector<std::string> lines = lines_of(file_bytes(dir / "gote.棋譜"));
    ASSERT_EQ(lines.size(), 4u);  // a game of two moves holds one entry
    EXPECT_EQ(lines[1], "Sente");
    EXPECT_EQ(lines[2], "Gote");
}

TEST_F(RecordFiles, SavesThatCannotBeMadeAreRefusedAndWriteNothing) {
    struct Case {
        const char* name;
        const char* title;
        const char* text;
        const char* box_title;
    };
    const Case cases[] = {
        {"", "t", "ﾌｧｲﾙ名が入力されていません", "  "},
        {"a/b", "t", "このﾌｧｲﾙ名は使えません", "  "},
        {"..", "t", "このﾌｧｲﾙ名は使えません", "  "},
        {".", "t", "このﾌｧｲﾙ名は使えません", "  "},
        {"ok", "한국", "対局名に使えない文字があります", "棋譜保存"},
    };
    play_moves(3);
    for (const Case& c : cases) {
        save(c.name, c.title);
        EXPECT_EQ(last_message().text, c.text) << c.name;
        EXPECT_EQ(last_message().title, c.box_title) << c.name;
        // The panel stays with what was typed, to be put right.
        EXPECT_TRUE(shown(RecordControl::SavePanel)) << c.name;
        EXPECT_EQ(port.record_text(RecordText::Text2), c.title);
    }
    // A name that cannot be the second player's.
    save("ok", "t", "先手", "😀");
    EXPECT_EQ(last_message().text, "後手に使えない文字があります");

    // A folder that does not exist: the system's reason.
    port.file_folder = (dir / "gone").string();
    save("ok");
    EXPECT_EQ(last_message().text, std::string("棋譜ﾌｧｲﾙを書き込めませんでした\r\r") + std::strerror(ENOENT));
    EXPECT_EQ(last_message().title, "棋譜保存");
    EXPECT_TRUE(shown(RecordControl::SavePanel));
    EXPECT_TRUE(files_in_dir(0));

    // A game of one move has nothing to save; nor does a turned board.
    port.file_folder = dir.string();
    game.menu("CANCEL");
    play_moves(1);
    save("one");
    EXPECT_EQ(last_message().text, "保存するデータがありません");
    EXPECT_EQ(last_message().title, "棋譜保存");
    play_moves(2);
    game.menu("REVERSE");
    game.menu("STOP");  // opening 局面 hides the panel
    game.menu("KIFU_WRITE");
    EXPECT_EQ(last_message().text, "反転後は書き込みできません");
    EXPECT_EQ(last_message().title, "棋譜書込");
    EXPECT_FALSE(shown(RecordControl::SavePanel));
    EXPECT_TRUE(files_in_dir(0));
    EXPECT_EQ(sounds(KINSHI_WAV), 0);
}

TEST_F(RecordFiles, AShiftJisFileIsReadAndItsNamesShownOverAndUnderTheBoard) {
    // Written byte by byte: 名人戦 / 後手花子 / 先手太郎, then two entries.
    Position p = opening_position();
    RecordEntry first;
    store_position(p, first);
    p.BAN[5][7] = 0;
    p.BAN[5][6] = -HU;
    RecordEntry second;
    store_position(p, second);
    second.MAN_MAE = 3;
    put_file(dir / "名人戦.棋譜", "\x96\xbc\x90\x6c\x90\xed\r\n"
                                  "\x8c\xe3\x8e\xe8\x89\xd4\x8e\x71\r\n"
                                  "\x90\xe6\x8e\xe8\x91\xbe\x98\x59\r\n" +
                                      format_entry_line(first) + "\r\n" + format_entry_line(second) + "\r\n");
    play_moves(2);  // a game in progress is given up
    port.clear();
    open("名人戦.棋譜");
    EXPECT_EQ(game.kifu.KIFU_SAIGO, 2);
    EXPECT_EQ(game.turn.KIFU_MODE, 1);
    EXPECT_EQ(board_to_text(game.pos), board_to_text(opening_position()));

    // Centred by their length: (3 + (13 - L) / 5) cells from the grid's edge.
    const HeadlessPort::Op* title = text_op("名人戦");
    ASSERT_NE(title, nullptr);
    EXPECT_DOUBLE_EQ(title->x, 1300 + 5 * 615 - 3000);
    EXPECT_DOUBLE_EQ(title->y, 6350);
    EXPECT_EQ(title->code, 12);
    EXPECT_EQ(title->size, 12);
    const HeadlessPort::Op* upper = text_op("後手花子");
    ASSERT_NE(upper, nullptr);
    EXPECT_DOUBLE_EQ(upper->x, 1300 + 4.8 * 615);
    EXPECT_DOUBLE_EQ(upper->y, 100);
    EXPECT_EQ(upper->code, 15);
    const HeadlessPort::Op* lower = text_op("先手太郎");
    ASSERT_NE(lower, nullptr);
    EXPECT_DOUBLE_EQ(lower->y, 6350);
    EXPECT_DOUBLE_EQ(chuuou_x("ﾊﾝﾃﾞｨｷｬｯﾌﾟ"), 1300 + (3 + 3 / 5.0) * 615);  // half-width kana count one each

    game.menu("AFTER");
    EXPECT_EQ(board_to_text(game.pos), board_to_text(opening_position()));
    game.menu("AFTER");
    EXPECT_EQ(game.pos.BAN[5][6], -HU);
}

TEST_F(RecordFiles, FilesWithoutEntriesAndFilesThatCannotBeRead) {
    // Headers only: record mode with nothing to step through.
    put_file(dir / "empty.棋譜", "t\r\nu\r\ns\r\n");
    open("empty.棋譜");
    EXPECT_EQ(last_message().text, "棋譜ﾌｧｲﾙにﾃﾞｰﾀがありません");
    EXPECT_EQ(last_message().title, "棋譜");
    EXPECT_EQ(game.turn.KIFU_MODE, 1);
    EXPECT_EQ(game.turn.TEBAN, 0);
    EXPECT_EQ(game.kifu.KIFU_SAIGO, 0);

    // A file that is gone, and one too large to read: the game stays as it
    // is and the lists stay open for another choice.
    game.menu("CANCEL");
    play_moves(3);
    const std::string board = board_to_text(game.pos);
    open("gone.棋譜");
    EXPECT_EQ(last_message().text, std::string("棋譜ﾌｧｲﾙを読み込めませんでした\r\r") + std::strerror(ENOENT));
    EXPECT_EQ(last_message().title, "棋譜");
    { std::ofstream create(dir / "big.棋譜"); }
    fs::resize_file(dir / "big.棋譜", 11 * 1024 * 1024);
    open("big.棋譜");
    EXPECT_EQ(last_message().text, "棋譜ﾌｧｲﾙが大きすぎて読み込めません");
    EXPECT_EQ(game.turn.TESU, 3);
    EXPECT_EQ(game.turn.KIFU_MODE, 0);
    EXPECT_EQ(game.kifu.KIFU_SAIGO, 2);
    EXPECT_EQ(board_to_text(game.pos), board);
    EXPECT_TRUE(shown(RecordControl::FileList));
}

TEST_F(RecordFiles, EveryMenuCommandAndClickThatHidesTheControlsEmptiesTheFields) {
    const char* const hiding[] = {"TAIKYOKU", "STOP", "OPTION", "VER", "REPLAY", "AFTER", "LBEL_UP",
                                  "LEBEL_DOWN", "click"};
    for (const char* what : hiding) {
        game.menu("CANCEL");
        game.menu("KIFU_READ");
        game.menu("KIFU_WRITE");  // the drive and folder lists and the panel
        port.set_record_text(RecordText::Text1, "name");
        port.set_record_text(RecordText::Text4, "gote");
        port.record_controls[RecordControl::FileList] = true;
        if (std::string(what) == "click") click(5, 5);
        else game.menu(what);
        for (const auto& [control, visible] : port.record_controls)
            EXPECT_FALSE(visible) << what << " left control " << static_cast<int>(control);
        EXPECT_EQ(port.record_text(RecordText::Text1), "") << what;
        EXPECT_EQ(port.record_text(RecordText::Text4), "") << what;
    }
    // 読込 shows the three lists and hides the panel, emptying it.
    game.menu("KIFU_WRITE");
    port.set_record_text(RecordText::Text1, "name");
    game.menu("KIFU_READ");
    EXPECT_TRUE(shown(RecordControl::DriveList) && shown(RecordControl::DirList) && shown(RecordControl::FileList));
    EXPECT_FALSE(shown(RecordControl::SavePanel));
    EXPECT_EQ(port.record_text(RecordText::Text1), "");
    // The items of this menu work now.
    for (const char* item : {"KIFU_READ", "KIFU_WRITE", "LBEL_UP", "LEBEL_DOWN"})
        EXPECT_FALSE(port.enabled.count(item)) << item << " was disabled";
}

TEST_F(RecordFiles, ChoosingADriveOrAFolderMovesTheListsBelowIt) {
    game.menu("KIFU_READ");
    port.unready_folders = {"/media/cdrom"};
    port.selections[RecordControl::DriveList] = "/media/cdrom";
    game.record_control_used(RecordControl::DriveList);
    EXPECT_EQ(last_message().text, "ﾃﾞﾊﾞｲｽが準備できていません");
    EXPECT_EQ(last_message().title, "ｴﾗｰ");
    EXPECT_EQ(port.file_folder, dir.string());

    port.selections[RecordControl::DriveList] = "/";
    game.record_control_used(RecordControl::DriveList);
    EXPECT_EQ(port.dir_folder, "/");
    EXPECT_EQ(port.file_folder, "/");
    port.selections[RecordControl::DirList] = dir.string();
    game.record_control_used(RecordControl::DirList);
    EXPECT_EQ(port.file_folder, dir.string());
    EXPECT_EQ(port.messages.size(), 1u);
}

// A small fixed generator, so that a failure can be replayed from its seed.
struct Rng {
    std::uint64_t s;
    std::uint64_t next() {
        std::uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

// What a position read from any file may hold: codes that are pieces, and
// hands whose counts add up to their totals.
::testing::AssertionResult holds_only_pieces(const Position& p) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (p.BAN[x][y] != 0 && !is_piece(p.BAN[x][y]))
                return ::testing::AssertionFailure() << "code " << p.BAN[x][y] << " on " << x << "," << y;
    int ue = 0, sita = 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (p.MOCHI_UE_KAZU[k] < 0 || p.MOCHI_SITA_KAZU[k] < 0)
            return ::testing::AssertionFailure() << "negative count in slot " << k;
        if ((p.MOCHI_UE_KAZU[k] > 0 && !is_piece(p.MOCHI_UE_KOMA[k])) ||
            (p.MOCHI_SITA_KAZU[k] > 0 && !is_piece(p.MOCHI_SITA_KOMA[k])))
            return ::testing::AssertionFailure() << "slot " << k << " holds no piece";
        ue += p.MOCHI_UE_KAZU[k];
        sita += p.MOCHI_SITA_KAZU[k];
    }
    if (ue != p.MOCHI_UE_GOKEI || sita != p.MOCHI_SITA_GOKEI)
        return ::testing::AssertionFailure() << "hand totals do not match the counts";
    return ::testing::AssertionSuccess();
}

// Files of garbage: read, stepped through to the end and played on from
// there with random clicks and commands, the game keeps only pieces.
TEST_F(RecordFiles, AnyFileCanBeReadSteppedThroughAndPlayedOn) {
    static const char* const commands[] = {"AFTER", "REPLAY", "REVERSE", "LBEL_UP", "LEBEL_DOWN", "START"};
    const std::string valid = format_entry_line([] {
        RecordEntry e;
        store_position(opening_position(), e);
        return e;
    }());
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        Rng rng{seed};
        std::string bytes;
        for (int h = 0; h < 3; ++h) {
            for (int i = rng.below(40); i > 0; --i) bytes += static_cast<char>(rng.below(256));
            bytes += rng.below(2) ? "\r\n" : "\n";
        }
        for (int lines = 1 + rng.below(30); lines > 0; --lines) {
            std::string line = valid.substr(0, static_cast<std::size_t>(rng.below(400)));
            for (int i = rng.below(60); i > 0 && !line.empty(); --i)
                line[static_cast<std::size_t>(rng.below(static_cast<int>(line.size())))] = " -0123456789x\r"[rng.below(14)];
            bytes += line + (rng.below(2) ? "\r\n" : "\n");
        }
        put_file(dir / "junk.棋譜", bytes);
        open("junk.棋譜");
        ASSERT_EQ(game.turn.KIFU_MODE, 1);
        for (int n = 0; n <= game.kifu.KIFU_SAIGO; ++n) {
            game.menu("AFTER");
            ASSERT_TRUE(holds_only_pieces(game.pos)) << "seed " << seed << " entry " << n;
        }
        for (int event = 0; event < 400; ++event) {
            if (rng.below(10) == 0) game.menu(commands[rng.below(6)]);
            else click_cell(rng.below(13) - 1, rng.below(10), rng.below(2) ? HIDARI_BUTTON : MIGI_BUTTON);
            ASSERT_TRUE(holds_only_pieces(game.pos)) << "seed " << seed << " event " << event;
        }
        port.ops.clear();
    }
    EXPECT_FALSE(port.ended);
}

}  // namespace
}  // namespace zemtori::test
