// The options of the ｵﾌﾟｼｮﾝ menu as the game holds them: the settings file
// (and, for the pace and the sound effects, the file beside it) is written
// from this value and read into it, and the menus show it.
#pragma once

#include "settings/format.h"
#include "settings/play_options.h"

namespace zemtori {

struct Options {
    int HAIKEI = 0;           // background tile code 2..6; 0 before the settings are read
    bool IDOU_SIDOU = false;  // move guidance (移動指導)
    bool KEIKA = false;       // the thinking-time clock (経過時間)
    bool BGM = false;         // the music
    // Kept in a file of their own beside the settings file.
    bool HAYAI = false;       // the fast pace of the animations (速度 › 速い)
    bool KOUKAON = true;      // the sound effects (効果音), apart from the music

    SettingsMarks settings_marks() const { return {HAIKEI, IDOU_SIDOU, KEIKA, BGM}; }
    PlayOptions play_options() const { return {HAYAI, KOUKAON}; }
    bool operator==(const Options&) const = default;
};

}  // namespace zemtori
