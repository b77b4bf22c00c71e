// Every item of the menu bar, named by the game's code.  The order is the
// menu table's (play/menu.cpp), which checks it item by item.
#pragma once

namespace zemtori {

enum class MenuId {
    TAIKYOKU, MATCH_MAN, START, START2, SENTE, GOTE, LEVEL, LEVEL1, LEVEL2, LEVEL3, LEVEL4,
    LEVEL5, LEVEL6, LEVEL7, LEVEL8, LEVEL9,
    OWARI, STOP, CANCEL, REVERSE, REPLAY, AFTER, LBEL_UP, LEBEL_DOWN, HINT,
    KIFU, KIFU_READ, KIFU_WRITE, KAISEKI,
    OPTION, HAIKEI_GA, MIDORI, TATAMI, TAKE, UCHU, RENGA, SIDOU, KEIKA, BGM,
    SOKUDO, FUTSUU, HAYAI, KOUKAON,
    SONOTA, VER, ASOBIKATA,
    COUNT
};

// The item's name in the menu table, as the window knows it.
const char* menu_name(MenuId id);

}  // namespace zemtori
