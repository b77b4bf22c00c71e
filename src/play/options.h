// The options of the ｵﾌﾟｼｮﾝ menu as the game holds them: the settings file is
// written from this value and read into it, and the menus show it.
#pragma once

#include "settings/format.h"

namespace zemtori {

struct Options {
    int HAIKEI = 0;           // background tile code 2..6; 0 before the settings are read
    bool IDOU_SIDOU = false;  // move guidance (移動指導)
    bool KEIKA = false;       // the thinking-time clock (経過時間)
    bool BGM = false;         // the music

    SettingsMarks settings_marks() const { return {HAIKEI, IDOU_SIDOU, KEIKA, BGM}; }
    bool operator==(const Options&) const = default;
};

}  // namespace zemtori
