// The version box of the その他 menu.
//
// How the game calls it, for the menu command VER:
//     version_box(port, [&] { sound.play_other(); });
// It hides the record-file lists and the save panel, plays the sound given
// (the display code does not know the sound layer), then shows the box.
#pragma once

#include <functional>
#include <string>

#include "port/port.h"

namespace zemtori {

// The title of a message box that names no title of its own.
inline constexpr const char* DEFAULT_TITLE = "Zemtori";

// The box's text: the program's name and version, an empty line, "License"
// and the licence's name, an empty line and the copyright line, lines ended
// by a carriage return.  The program has no home page or mail address of its
// own, so the box shows none.
std::string version_text();

void version_box(Port& port, const std::function<void()>& play_sound);

}  // namespace zemtori
