// Saving a game as a ".棋譜" file and reading one back, through the menus and
// the record-file controls of the headless window.
#include "play_fixture.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "record/entry_line.h"
#include "rules/legality.h"

namespace zemtori::test {
namespace {

namespace fs = std::filesystem;

struct RecordFiles : PlayTest {
    fs::path dir = fs::temp_directory_path() / ("zemtori-play-" + std::to_string(::getpid()));

    void SetUp() override {
        PlayTest::SetUp();
        fs::create_directories(dir);
        port.file_folder = dir.string();
    }
    void TearDown() override { fs::remove_all(dir); }

    // Starts a game between two people and plays `n` moves, each the first
    // move in scan order of a piece of the side to move onto an empty square.
    void play_moves(int n) {
        game.menu("START");
        for (int i = 0; i < n; ++i) {
            port.now += 1.25 + i;
            const int tesu = game.view().kifu.tesu();
            for (int f = 0; f < 81 * 81 && game.view().kifu.tesu() == tesu; ++f) {
                const int fx = f / 729 + 1, fy = f / 81 % 9 + 1, tx = f % 81 / 9 + 1, ty = f % 9 + 1;
                const int koma = game.view().pos.BAN[fx][fy];
                if (koma != 0 && (koma > 0) == (game.view().turn.TEBAN == game.view().turn.COM_GAWA) && game.view().pos.BAN[tx][ty] == 0 &&
                    idou_kanou(game.view().pos, fx, fy, tx, ty, koma) == 1)
                    move(fx, fy, tx, ty, MIGI_BUTTON);
            }
            ASSERT_EQ(game.view().kifu.tesu(), tesu + 1);
        }
    }
    void save(const std::string& name, const std::string& title = "対局", const std::string& gote = "後手花子") {
        game.menu("KIFU_WRITE");
        port.set_record_text(RecordText::Text1, name);
        port.set_record_text(RecordText::Text2, title);
        port.set_record_text(RecordText::Text3, "Sente");
        port.set_record_text(RecordText::Text4, gote);
        game.record_control_used(RecordControl::SavePanel);
    }
    void open(const std::string& file, const std::string& bytes = {}) {
        if (!bytes.empty()) std::ofstream(dir / file, std::ios::binary) << bytes;
        game.menu("KIFU_READ");
        port.selections[RecordControl::FileList] = file;
        game.record_control_used(RecordControl::FileList);
    }
    std::string file_text(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(RecordFiles, ASavedGameReadsBackEntryByEntry) {
    play_moves(6);
    std::string lines = "\x91\xce\x8b\xc7\r\n\x8c\xe3\x8e\xe8\x89\xd4\x8e\x71\r\nSente\r\n";  // 後手 on line 2
    // Entries 1..6: the last one is the position on the board, the sixth
    // move included.
    for (int n = 1; n <= 6; ++n) lines += format_entry_line(game.view().kifu.entry(n)) + "\r\n";
    Position last;
    game.view().kifu.restore(6, last);
    EXPECT_EQ(board_to_text(last), board_to_text(game.view().pos));
    save("第1局");
    EXPECT_EQ(last_message().text, "棋譜を書き込みました");
    EXPECT_EQ(port.record_text(RecordText::Text2), "");
    EXPECT_FALSE(port.record_controls[RecordControl::SavePanel]);
    EXPECT_EQ(file_text("第1局.棋譜"), lines);

    game.menu("CANCEL");
    play_moves(9);  // another game overwrites the record in memory
    port.clear();
    open("第1局.棋譜");
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 6);
    EXPECT_EQ(game.view().turn.TEBAN, 1);
    EXPECT_EQ(game.view().kifu.kifu_mode(), 1);
    // The game of nine moves in progress is given up after a question.
    ASSERT_EQ(port.messages.size(), 3u);
    EXPECT_EQ(port.messages[0].text, "対局中です。新しく始めますか？");
    EXPECT_EQ(port.messages[1].text, " 読み込みました");
    EXPECT_EQ(port.messages[2].text, "棋譜を '進 'で進めて下さい");
    std::string stepped;
    for (int n = 1; n <= 6; ++n) {
        game.menu("AFTER");
        RecordEntry shown = game.view().kifu.entry(n);  // times as read: whole seconds
        store_position(game.view().pos, shown);
        stepped += format_entry_line(shown) + "\r\n";
    }
    EXPECT_EQ(stepped, lines.substr(lines.find("Sente\r\n") + 7));
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "終わり");

    // When the human moves second, line 2 names the first player.
    game.menu("CANCEL");
    game.menu("GOTE");  // the computer moves first
    ASSERT_EQ(game.view().turn.MAN_GAWA, -1);
    save("gote", "t", "Gote");
    EXPECT_EQ(file_text("gote.棋譜").substr(0, 16), "t\r\nSente\r\nGote\r\n");
}

TEST_F(RecordFiles, SavesThatCannotBeMadeAreRefusedAndWriteNothing) {
    game.menu("START");
    save("none");
    EXPECT_EQ(last_message().text, "保存するデータがありません");
    play_moves(1);
    const char* const cases[][3] = {{"", "t", "ﾌｧｲﾙ名が入力されていません"}, {"a/b", "t", "このﾌｧｲﾙ名は使えません"},
                                    {"..", "t", "このﾌｧｲﾙ名は使えません"},  {"ok", "한국", "対局名に使えない文字があります"}};
    for (const auto& c : cases) {
        save(c[0], c[1]);
        EXPECT_EQ(last_message().text, c[2]) << c[0];
        EXPECT_EQ(port.record_text(RecordText::Text2), c[1]);  // kept, to be put right
    }
    port.file_folder = (dir / "gone").string();
    save("ok");
    EXPECT_EQ(last_message().text, "棋譜ﾌｧｲﾙを書き込めませんでした\r\r見つかりません");
    // A read-only file of that name is kept, also when root saves.
    port.file_folder = dir.string();
    std::ofstream(dir / "ro.棋譜", std::ios::binary) << "keep";
    fs::permissions(dir / "ro.棋譜", fs::perms(0444));
    save("ro");
    EXPECT_EQ(last_message().text, "棋譜ﾌｧｲﾙを書き込めませんでした\r\r読み取り専用のﾌｧｲﾙです");
    EXPECT_TRUE(port.record_controls[RecordControl::SavePanel]);
    EXPECT_EQ(file_text("ro.棋譜"), "keep");
    fs::remove(dir / "ro.棋譜");
    game.menu("REVERSE");
    game.menu("KIFU_WRITE");
    EXPECT_EQ(last_message().text, "反転後は書き込みできません");
    EXPECT_EQ(last_message().title, "棋譜書込");
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(RecordFiles, AShiftJisFileIsReadAndItsNamesShownOverAndUnderTheBoard) {
    RecordEntry first;
    store_position(opening_position(), first);
    play_moves(2);  // a game in progress is given up
    port.clear();
    open("名人戦.棋譜", "\x96\xbc\x90\x6c\x90\xed\r\n\x8c\xe3\x8e\xe8\x89\xd4\x8e\x71\r\nSente\r\n" +
                            format_entry_line(first) + "\r\n");
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 1);
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(opening_position()));
    // Centred by length: X = 1300 + (3 + (13 - L) / 5) * 615, the title 3000
    // further left; the title light red, the names white, all 12 point.
    std::vector<std::tuple<std::string, double, double, int, int>> printed;  // after the redraw
    for (const auto& op : port.ops)
        if (op.kind == HeadlessPort::OpKind::Text) printed.emplace_back(op.text, op.x, op.y, op.code, op.size);
    printed.erase(printed.begin(), printed.end() - 3);
    EXPECT_EQ(printed, (std::vector<std::tuple<std::string, double, double, int, int>>{
                           {"名人戦", 1300 + 5 * 615 - 3000, 6350, 12, 12},
                           {"後手花子", 1300 + 4.8 * 615, 100, 15, 12},
                           {"Sente", 1300 + 4.6 * 615, 6350, 15, 12}}));
}

// A file without entry lines, or one that cannot be read, is refused before
// anything of the game in progress changes: board, hands, record, turn,
// clock and screen stay, and the lists stay open.
TEST_F(RecordFiles, FilesWithoutEntriesOrUnreadableLeaveTheGameAsItWas) {
    play_moves(4);
    game.menu("KEIKA");
    const auto snapshot = [this] {
        std::string s = board_to_text(game.view().pos);
        for (int k = 1; k <= MOCHI_SLOTS; ++k)
            s += std::to_string(game.view().pos.MOCHI_UE_KAZU[k]) + "," + std::to_string(game.view().pos.MOCHI_SITA_KAZU[k]) + ";";
        for (int n = 0; n <= game.view().kifu.kifu_saigo(); ++n) s += format_entry_line(game.view().kifu.entry(n)) + "\n";
        for (const int v : {game.view().kifu.kifu_saigo(), game.view().kifu.kifu_tesu(), game.view().kifu.tesu(), game.view().turn.TEBAN,
                            static_cast<int>(game.view().kifu.kifu_mode()), static_cast<int>(game.view().turn.COM_TAISEN), static_cast<int>(port.timer1_enabled())})
            s += std::to_string(v) + " ";
        return s;
    };
    const std::string before = snapshot();
    ASSERT_EQ(game.view().kifu.tesu(), 4);
    const std::string no_data = "棋譜ﾌｧｲﾙにﾃﾞｰﾀがありません";
    const std::pair<std::string, std::string> cases[] = {
        {"empty.棋譜", no_data},
        {"headers.棋譜", no_data},
        {"one-line.棋譜", no_data},
        {"gone.棋譜", "棋譜ﾌｧｲﾙを読み込めませんでした\r\r見つかりません"},
    };
    std::ofstream(dir / "empty.棋譜", std::ios::binary).flush();
    std::ofstream(dir / "headers.棋譜", std::ios::binary) << "t\r\nu\r\ns\r\n";
    std::ofstream(dir / "one-line.棋譜", std::ios::binary) << std::string(10 * 1000 * 1000, '1');
    for (const auto& [file, text] : cases) {
        port.clear();
        open(file);
        ASSERT_EQ(port.messages.size(), 1u) << file;
        EXPECT_EQ(last_message().text, text) << file;
        EXPECT_EQ(last_message().title, "棋譜") << file;
        EXPECT_EQ(snapshot(), before) << file;
        EXPECT_TRUE(port.ops.empty()) << file << ": the screen was drawn on";
        EXPECT_TRUE(port.record_controls[RecordControl::FileList]) << file;
    }
}

TEST_F(RecordFiles, EveryCommandAndClickThatHidesTheControlsEmptiesTheFields) {
    for (const char* what : {"TAIKYOKU", "STOP", "OPTION", "VER", "REPLAY", "AFTER", "LBEL_UP", "LEBEL_DOWN", "click"}) {
        game.menu("CANCEL");
        game.menu("KIFU_WRITE");
        port.set_record_text(RecordText::Text4, "gote");
        port.record_controls[RecordControl::FileList] = true;
        if (std::string(what) == "click") click(5, 5);
        else game.menu(what);
        for (const auto& [control, visible] : port.record_controls) EXPECT_FALSE(visible) << what;
        EXPECT_EQ(port.record_text(RecordText::Text4), "") << what;
    }
}

// Files of garbage, read, stepped through and played on from their last
// position with random clicks and commands: only pieces ever stand anywhere.
TEST_F(RecordFiles, AnyFileCanBeReadSteppedThroughAndPlayedOn) {
    RecordEntry opening;
    store_position(opening_position(), opening);
    const std::string valid = format_entry_line(opening);
    std::uint64_t s = 7;
    auto below = [&s](int n) {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((s >> 33) % static_cast<std::uint64_t>(n));
    };
    const char* const commands[] = {"AFTER", "REPLAY", "REVERSE", "LBEL_UP", "START"};
    for (int file = 0; file < 8; ++file) {
        std::string bytes = "\x81\r\n\xff\n\r\n";
        for (int lines = 1 + below(30); lines > 0; --lines) {
            std::string line = valid.substr(0, static_cast<std::size_t>(below(400)));
            for (int i = below(60); i > 0 && !line.empty(); --i)
                line[static_cast<std::size_t>(below(static_cast<int>(line.size())))] = " -0123456789x"[below(13)];
            bytes += line + "\n";
        }
        open("junk.棋譜", bytes);
        for (int event = 0; event < 500; ++event) {
            if (event < 40) game.menu("AFTER");
            else if (below(10) == 0) game.menu(commands[below(5)]);
            else click_cell(below(13) - 1, below(10), below(2) ? HIDARI_BUTTON : MIGI_BUTTON);
            int ue = 0, sita = 0;
            for (int k = 1; k <= MOCHI_SLOTS; ++k) {
                ASSERT_TRUE(game.view().pos.MOCHI_UE_KAZU[k] == 0 || is_piece(game.view().pos.MOCHI_UE_KOMA[k]));
                ASSERT_TRUE(game.view().pos.MOCHI_SITA_KAZU[k] == 0 || is_piece(game.view().pos.MOCHI_SITA_KOMA[k]));
                ue += game.view().pos.MOCHI_UE_KAZU[k], sita += game.view().pos.MOCHI_SITA_KAZU[k];
            }
            ASSERT_TRUE(ue == game.view().pos.MOCHI_UE_GOKEI && sita == game.view().pos.MOCHI_SITA_GOKEI);
            for (int sq = 0; sq < 81; ++sq)
                ASSERT_TRUE(is_piece(game.view().pos.BAN[sq / 9 + 1][sq % 9 + 1]) || game.view().pos.BAN[sq / 9 + 1][sq % 9 + 1] == 0)
                    << "file " << file << " event " << event;
        }
        port.ops.clear();
    }
}

}  // namespace
}  // namespace zemtori::test
