// The 棋譜 menu: saving the game's record as a ".棋譜" file with its title and
// its two players, and reading one back to step through with 進.
//
// The file lists and the save panel are controls of the window; the game
// shows and hides them, reads what was typed and chosen, and is told when one
// is used.
#include "play/record_files.h"

#include "port/geometry.h"
#include "play/game.h"
#include "record/record_file.h"

namespace zemtori {

namespace {

std::size_t char_count(const std::string& text) {
    std::size_t n = 0;
    for (const char ch : text) n += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    return n;
}

std::string in_folder(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// A typed name that names a file of its own in the chosen folder: no folder
// of another path, and not the folder itself or its parent.
bool usable_file_name(const std::string& name) {
    return name != "." && name != ".." && name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

}  // namespace

double chuuou_x(const std::string& text) {
    const double length = static_cast<double>(char_count(text));
    return BAN_X0 + (3 + (13 - length) / 5) * MASU_HABA;
}

void Game::file_list_hyouji(bool drive, bool folder, bool files) {
    port.show_record_control(RecordControl::DriveList, drive);
    port.show_record_control(RecordControl::DirList, folder);
    port.show_record_control(RecordControl::FileList, files);
}

void Game::hozon_dialog(int mode) {
    if (mode == 0) {
        port.show_record_control(RecordControl::SavePanel, true);
        return;
    }
    for (const RecordText field : {RecordText::Text1, RecordText::Text2, RecordText::Text3, RecordText::Text4})
        port.set_record_text(field, "");
    port.show_record_control(RecordControl::SavePanel, false);
}

// Opening the option menu hides the record-file controls, as the other menus do.
void Game::OPTION_Click() { hide_record_controls(); }

void Game::KIFU_READ_Click() {
    file_list_hyouji(true, true, true);
    hozon_dialog(1);
}

// A turned board or a handicap no longer matches the record, so neither can
// be saved.
void Game::KIFU_WRITE_Click() {
    if (kifu.hanten()) {
        tell("反転後は書き込みできません", "棋譜書込");
        return;
    }
    if (handicap.settei()) {
        tell("ﾊﾝﾃﾞｷｬｯﾌﾟ設定後は書き込みできません", "棋譜書込");
        return;
    }
    file_list_hyouji(true, true, false);
    hozon_dialog(0);
}

void Game::record_control_used(RecordControl control) {
    if (!progress_.waiting()) return;
    switch (control) {
    case RecordControl::DriveList: {
        // The folder list moves to the drive, and the file list with it.
        const std::string drive = port.record_selection(RecordControl::DriveList);
        if (!port.set_record_folder(RecordControl::DirList, drive)) {
            tell("ﾃﾞﾊﾞｲｽが準備できていません", "ｴﾗｰ");
            return;
        }
        port.set_record_folder(RecordControl::FileList, drive);
        return;
    }
    case RecordControl::DirList:
        port.set_record_folder(RecordControl::FileList, port.record_selection(RecordControl::DirList));
        return;
    case RecordControl::FileList:
        file_click();
        return;
    case RecordControl::SavePanel:
        RETURN_Click();
        return;
    }
}

// RETURN: the record's entries 1 .. KIFU_SAIGO are written under the typed
// name in the file list's folder, replacing a file of that name.  Line 2
// names the upper side's player, line 3 the human.  A file that cannot be
// written leaves the panel open with what was typed.
void Game::RETURN_Click() {
    const std::string name = port.record_text(RecordText::Text1);
    if (name.empty()) {
        tell("ﾌｧｲﾙ名が入力されていません", "  ");
        return;
    }
    if (kifu.kifu_saigo() < 1) {
        tell("保存するデータがありません", "棋譜保存");
        return;
    }
    if (!usable_file_name(name)) {
        tell("このﾌｧｲﾙ名は使えません", "  ");
        return;
    }
    const std::string sente = port.record_text(RecordText::Text3);
    const std::string gote = port.record_text(RecordText::Text4);
    const bool human_first = turn.MAN_GAWA == SENTE_GAWA;
    RecordFile file;
    file.title = port.record_text(RecordText::Text2);
    file.ue_player = human_first ? gote : sente;
    file.sita_player = human_first ? sente : gote;
    file.entries.reserve(static_cast<std::size_t>(kifu.kifu_saigo()));
    for (int n = 1; n <= kifu.kifu_saigo(); ++n) file.entries.push_back(kifu.entry(n));

    std::string bytes;
    int bad_line = 0;
    if (!format_record_file(file, bytes, bad_line)) {
        const char* field = bad_line == 1 ? "対局名" : (bad_line == 2) == human_first ? "後手" : "先手";
        tell(std::string(field) + "に使えない文字があります", "棋譜保存");
        return;
    }
    std::string reason;
    if (!write_file_atomically(in_folder(port.record_folder(), name + KIFU_EXTENSION), bytes, reason)) {
        tell("棋譜ﾌｧｲﾙを書き込めませんでした\r\r" + reason, "棋譜保存");
        return;
    }
    file_list_hyouji(false, false, false);
    hozon_dialog(1);
    port.set_record_folder(RecordControl::FileList, port.record_folder());
    tell("棋譜を書き込みました", "  ");
}

// A click on a file in the file list reads it: a new game, the title and the
// players' names printed, the file's entries as the record, and record mode.
// The file is read whole first, so a file that cannot be read or holds no
// entry line changes nothing: the game on the board stays and the lists stay
// open.
void Game::file_click() {
    const std::string path = in_folder(port.record_folder(), port.record_selection(RecordControl::FileList));
    std::string bytes, reason;
    switch (read_record_bytes(path, bytes, reason)) {
    case ReadFailure::None:
        break;
    case ReadFailure::TooLarge:
        tell("棋譜ﾌｧｲﾙが大きすぎて読み込めません", "棋譜");
        return;
    case ReadFailure::System:
        tell("棋譜ﾌｧｲﾙを読み込めませんでした\r\r" + reason, "棋譜");
        return;
    }
    // A file without entry lines is refused like one that cannot be read,
    // before the game in progress gives way to it.
    const RecordFile file = parse_record_file(bytes);
    if (file.entries.empty()) {
        tell("棋譜ﾌｧｲﾙにﾃﾞｰﾀがありません", "棋譜");
        return;
    }
    if (!may_leave_game(NEW_GAME_QUESTION)) return;
    file_list_hyouji(false, false, false);
    read_record(file);
}

void Game::print_record_header() {
    port.print_text(chuuou_x(record_title_) + KIFU_TITLE_SHIFT_X, KIFU_TITLE_Y, record_title_, AKA, 12, screen.bold);
    port.print_text(chuuou_x(record_upper_), KIFU_UE_NAME_Y, record_upper_, SHIRO, 12, screen.bold);
    port.print_text(chuuou_x(record_lower_), KIFU_SITA_NAME_Y, record_lower_, SHIRO, 12, screen.bold);
}

// A record read from a file becomes a new game in record mode, its title and
// players printed beside the board.
void Game::read_record(const RecordFile& file) {
    shinki_kyokumen();
    kifu.load(file.entries);
    record_title_ = file.title;
    record_upper_ = file.ue_player;
    record_lower_ = file.sita_player;
    print_record_header();
    // The army that made the first move is 先手.
    flow.record_opened(kifu.to_move(0) > 0 ? GOTE_GAWA : SENTE_GAWA);
    tell(" 読み込みました", "棋譜");
    if (!progress_.ending()) tell("棋譜を '進 'で進めて下さい", "棋譜");
}

}  // namespace zemtori
