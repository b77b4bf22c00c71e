// A game on the headless window, driven through its event calls.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "port/geometry.h"
#include "port/headless_port.h"
#include "play/game.h"
#include "recording_sound.h"
#include "settings_folder.h"
#include "test_support.h"

namespace zemtori::test {

struct PlayTest : ::testing::Test {
    PlayTest() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // A settings file of the test's own, with the options these tests
        // were written under: green, no guidance, no clock, no music.
        settings.write_plain();
        game.settings_file = settings.file();
    }

    HeadlessPort port;
    RecordingSound sound;
    Game game{port, sound};
    SettingsFolder settings;

    void SetUp() override { game.load(); }

    // A click in the middle of board square (x, y): grid column y, row x.
    void click(int x, int y, int button = HIDARI_BUTTON) {
        game.mouse_down(button, grid_x(y) + MASU_HABA / 2.0, grid_y(x) + MASU_TAKASA / 2.0);
    }
    void click_cell(int c, int r, int button = HIDARI_BUTTON) {
        game.mouse_down(button, grid_x(c) + MASU_HABA / 2.0, grid_y(r) + MASU_TAKASA / 2.0);
    }
    void move(int fx, int fy, int tx, int ty, int button = HIDARI_BUTTON) {
        click(fx, fy);
        click(tx, ty, button);
    }
    // Drops from slot k of the lower (right) or upper (left) hand.
    void drop_sita(int k, int tx, int ty) {
        click_cell(11, k + 2);
        click(tx, ty);
    }
    void drop_ue(int k, int tx, int ty) {
        click_cell(-1, k);
        click(tx, ty);
    }

    // Changes the position on the board through `edit(position)`: nothing
    // falls, nothing is redrawn.
    template <class Edit>
    void edit_position(Edit edit) {
        Position p = game.view().pos;
        edit(p);
        GameSetup::set_position(game, p);
    }

    // The game's record so far, entries 1 up to its last, read back as if
    // from a file: a new game in record mode, at the record's start.
    void read_back_record() {
        RecordFile file;
        file.title = "record";
        for (int n = 1; n <= game.view().kifu.kifu_saigo(); ++n) file.entries.push_back(game.view().kifu.entry(n));
        GameSetup::load_record(game, file);
    }

    const HeadlessPort::Message& last_message() const { return port.messages.back(); }
    int sounds(const char* file) const {
        int n = 0;
        for (const std::string& s : sound.heard) n += s == file;
        return n;
    }
    // How many outlines were drawn in `colour` since the log was last cleared.
    int outlines(int colour) const {
        int n = 0;
        for (const auto& op : port.ops) n += op.kind == HeadlessPort::OpKind::Outline && op.code == colour;
        return n;
    }
    // The texts printed since the port's log was last cleared.
    std::vector<std::string> texts() const { return port.texts(); }

    // Column y of the board as nine fields x = 1..9, "." for empty.
    std::string column(int y) const {
        std::ostringstream out;
        for (int x = 1; x <= 9; ++x) {
            if (x > 1) out << ' ';
            const int c = game.view().pos.BAN[x][y];
            if (c == 0) out << '.'; else out << c;
        }
        return out.str();
    }
};

}  // namespace zemtori::test
