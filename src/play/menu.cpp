// The menu bar and its commands: one table gives every entry's caption, its
// place in the menus and the handler its command runs.  An item whose handler
// is not built yet stays disabled, so that nothing pretends to work.
#include <cstring>
#include <iterator>

#include "play/game.h"

namespace zemtori {

namespace {

struct MenuCommand {
    MenuEntry entry;
    void (Game::*click)();  // nullptr: no command (a submenu) or not built yet
};

// In menu order; a parent always comes before its entries.
constexpr MenuCommand MENU[] = {
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
    {{"LEVEL4", "LEVEL4", "LEVEL"}, &Game::LEVEL4_Click},
    {{"LEVEL5", "LEVEL5", "LEVEL"}, &Game::LEVEL5_Click},
    {{"LEVEL6", "LEVEL6", "LEVEL"}, &Game::LEVEL6_Click},
    {{"LEVEL7", "LEVEL7", "LEVEL"}, &Game::LEVEL7_Click},
    {{"LEVEL8", "LEVEL8", "LEVEL"}, &Game::LEVEL8_Click},
    {{"LEVEL9", "LEVEL9", "LEVEL"}, &Game::LEVEL9_Click},
    {{"OWARI", "終わり", "TAIKYOKU"}, &Game::OWARI_Click},
    {{"STOP", "局面", nullptr}, &Game::STOP_Click},
    {{"CANCEL", "最初", "STOP", "Home"}, &Game::CANCEL_Click},
    {{"REVERSE", "反転", "STOP"}, &Game::REVERSE_Click},
    {{"REPLAY", "戻", "STOP", "Left"}, &Game::REPLAY_Click},
    {{"AFTER", "進", "STOP", "Right"}, &Game::AFTER_Click},
    {{"LBEL_UP", "△", "STOP"}, &Game::LBEL_UP_Click},
    {{"LEBEL_DOWN", "▽", "STOP"}, &Game::LEBEL_DOWN_Click},
    {{"HINT", "ヒント", "STOP"}, &Game::HINT_Click},
    {{"KIFU", "棋譜", nullptr}, nullptr},
    {{"KIFU_READ", "読込", "KIFU"}, &Game::KIFU_READ_Click},
    {{"KIFU_WRITE", "書込", "KIFU"}, &Game::KIFU_WRITE_Click},
    {{"KAISEKI", "解析", "KIFU"}, &Game::KAISEKI_Click},
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
    {{"SOKUDO", "速度", "OPTION"}, nullptr},
    {{"FUTSUU", "普通", "SOKUDO"}, &Game::FUTSUU_Click},
    {{"HAYAI", "速い", "SOKUDO"}, &Game::HAYAI_Click},
    {{"KOUKAON", "効果音", "OPTION"}, &Game::KOUKAON_Click},
    {{"SONOTA", "その他", nullptr}, nullptr},
    {{"VER", "ﾊﾞｰｼﾞｮﾝ情報", "SONOTA"}, &Game::VER_Click},
    {{"ASOBIKATA", "遊び方", "SONOTA"}, &Game::ASOBIKATA_Click},
};

constexpr bool same_name(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

// MenuId follows the table row by row.
constexpr bool ids_follow_table() {
    constexpr const char* ID_NAMES[] = {
        "TAIKYOKU", "MATCH_MAN", "START", "START2", "SENTE", "GOTE", "LEVEL", "LEVEL1", "LEVEL2",
        "LEVEL3", "LEVEL4", "LEVEL5", "LEVEL6", "LEVEL7", "LEVEL8", "LEVEL9", "OWARI", "STOP", "CANCEL", "REVERSE", "REPLAY", "AFTER", "LBEL_UP",
        "LEBEL_DOWN", "HINT",
        "KIFU", "KIFU_READ", "KIFU_WRITE", "KAISEKI", "OPTION", "HAIKEI_GA", "MIDORI", "TATAMI", "TAKE",
        "UCHU", "RENGA", "SIDOU", "KEIKA", "BGM",
        "SOKUDO", "FUTSUU", "HAYAI", "KOUKAON", "SONOTA", "VER", "ASOBIKATA",
    };
    static_assert(std::size(ID_NAMES) == static_cast<int>(MenuId::COUNT));
    for (int i = 0; i < static_cast<int>(MenuId::COUNT); ++i)
        if (!same_name(ID_NAMES[i], MENU[i].entry.name)) return false;
    return true;
}
static_assert(std::size(MENU) == static_cast<int>(MenuId::COUNT), "one MenuId per row of the table");
static_assert(ids_follow_table(), "MenuId names the table's rows in order");

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

const char* menu_name(MenuId id) { return MENU[static_cast<int>(id)].entry.name; }

// The one place the game reads and sets the menus' marks and states.
void Game::set_checked(MenuId id, bool checked) { port.set_menu_checked(menu_name(id), checked); }

void Game::enable_built_commands() {
    for (const MenuCommand& m : MENU)
        if (m.click == nullptr && !is_parent(m.entry.name)) port.set_menu_enabled(m.entry.name, false);
}

// A command reaches the game only while it waits for one.  A review whose
// record the command changed goes with it.
void Game::menu(const std::string& item) {
    if (!progress_.waiting()) return;
    // Any command takes the hint's frames away, as a click does.
    clear_hint();
    for (const MenuCommand& m : MENU) {
        if (item != m.entry.name) continue;
        if (m.click != nullptr) (this->*m.click)();
        break;
    }
    forget_stale_review();
}

}  // namespace zemtori
