// The menu bar and its commands: one table gives every entry's caption, its
// place in the menus and the handler its command runs.  An item whose handler
// is not built yet stays disabled, so that nothing pretends to work.
#include <cstring>

#include "play/game.h"

namespace zemtori {

namespace {

struct MenuCommand {
    MenuEntry entry;
    void (Game::*click)();  // nullptr: no command (a submenu) or not built yet
};

// In menu order; a parent always comes before its entries.
const MenuCommand MENU[] = {
    {{"TAIKYOKU", "対局", nullptr}, &Game::TAIKYOKU_Click},
    {{"MATCH_MAN", "対局(人間)", "TAIKYOKU"}, &Game::MATCH_MAN_Click},
    {{"START", "スタート", "MATCH_MAN"}, &Game::START_Click},
    {{"START2", "対局(COM)", "TAIKYOKU"}, nullptr},
    {{"SENTE", "先手", "START2"}, &Game::SENTE_Click},
    {{"GOTE", "後手", "START2"}, &Game::GOTE_Click},
    {{"LEVEL", "COM対局ﾚﾍﾞﾙ", "TAIKYOKU"}, nullptr},
    {{"LEVEL1", "LEVEL1", "LEVEL"}, &Game::LEVEL1_Click},
    {{"LEVEL2", "LEVEL2", "LEVEL"}, &Game::LEVEL2_Click},
    {{"LEVEL3", "LEVEL3", "LEVEL"}, &Game::LEVEL3_Click},
    {{"OWARI", "終わり", "TAIKYOKU"}, &Game::OWARI_Click},
    {{"STOP", "局面", nullptr}, &Game::STOP_Click},
    {{"CANCEL", "最初", "STOP", "Home"}, &Game::CANCEL_Click},
    {{"REVERSE", "反転", "STOP"}, &Game::REVERSE_Click},
    {{"REPLAY", "戻", "STOP", "Left"}, &Game::REPLAY_Click},
    {{"AFTER", "進", "STOP", "Right"}, &Game::AFTER_Click},
    {{"LBEL_UP", "△", "STOP"}, &Game::LBEL_UP_Click},
    {{"LEBEL_DOWN", "▽", "STOP"}, &Game::LEBEL_DOWN_Click},
    {{"KIFU", "棋譜", nullptr}, nullptr},
    {{"KIFU_READ", "読込", "KIFU"}, &Game::KIFU_READ_Click},
    {{"KIFU_WRITE", "書込", "KIFU"}, &Game::KIFU_WRITE_Click},
    {{"OPTION", "ｵﾌﾟｼｮﾝ", nullptr}, &Game::OPTION_Click},
    {{"HAIKEI_GA", "背景画", "OPTION"}, nullptr},
    {{"MIDORI", "緑", "HAIKEI_GA"}, &Game::MIDORI_Click},
    {{"TATAMI", "畳", "HAIKEI_GA"}, &Game::TATAMI_Click},
    {{"TAKE", "竹", "HAIKEI_GA"}, &Game::TAKE_Click},
    {{"UCHU", "宇宙", "HAIKEI_GA"}, &Game::UCHU_Click},
    {{"RENGA", "煉瓦", "HAIKEI_GA"}, &Game::RENGA_Click},
    {{"SIDOU", "移動指導", "OPTION"}, &Game::SIDOU_Click},
    {{"KEIKA", "経過時間", "OPTION"}, &Game::KEIKA_Click},
    {{"BGM", "BGM", "OPTION"}, &Game::BGM_Click},
    {{"VER", "その他", nullptr}, &Game::VER_Click},
};

bool is_parent(const char* name) {
    for (const MenuCommand& m : MENU)
        if (m.entry.parent != nullptr && std::strcmp(m.entry.parent, name) == 0) return true;
    return false;
}

}  // namespace

const std::vector<MenuEntry>& menu_entries() {
    static const std::vector<MenuEntry> entries = [] {
        std::vector<MenuEntry> list;
        for (const MenuCommand& m : MENU) list.push_back(m.entry);
        return list;
    }();
    return entries;
}

void Game::enable_built_commands() {
    for (const MenuCommand& m : MENU)
        if (m.click == nullptr && !is_parent(m.entry.name)) port.set_menu_enabled(m.entry.name, false);
}

void Game::menu(const std::string& item) {
    for (const MenuCommand& m : MENU) {
        if (item != m.entry.name) continue;
        if (m.click != nullptr) (this->*m.click)();
        return;
    }
}

}  // namespace zemtori
