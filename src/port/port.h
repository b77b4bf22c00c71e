// The window system as the game sees it: one small port.  The Qt window
// implements it for play; HeadlessPort implements it for tests.
//
// Positions are in twips (1/1440 inch, 15 twips to a pixel at 96 dpi) and may
// be fractional; colours are indices into the 16-colour palette.
#pragma once

#include <string>

namespace zemtori {

// Mouse buttons as the window reports them; only 2 counts as the right button.
enum : int { HIDARI_BUTTON = 1, MIGI_BUTTON = 2, NAKA_BUTTON = 4 };
// The key code of Esc.
constexpr int ESC_KEY = 27;

// One entry of the menu bar: an entry that other entries name as their
// parent is a menu, every other one an item that can carry a check mark.
// The game owns the table; the window builds its menu bar from it, in order.
struct MenuEntry {
    const char* name;
    const char* caption;
    const char* parent;  // nullptr for a top-level menu
    // The key that chooses the item too, shown beside it ("Left", "Home"),
    // or nullptr.
    const char* shortcut = nullptr;
};

enum class MsgIcon { None, Exclamation };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// The record-file controls of the window (the save panel and the file lists).
// A control is "used" when a drive or a folder is chosen in its list, a file
// is clicked in the file list, or the save panel's RETURN is pressed.
enum class RecordControl { DriveList, DirList, FileList, SavePanel };
// The text fields of the save panel: Text1 (the file name), Text2 (the
// game's title), Text3 (the first player), Text4 (the second player).
enum class RecordText { Text1, Text2, Text3, Text4 };

class Port {
public:
    virtual ~Port() = default;

    // Painting on the persistent drawing surface.
    // Picture `code` (piece codes, 0 empty square, 1 title, 2..6 background
    // tiles) copied at its own size with its top-left corner at (x, y).  A code
    // without a picture paints nothing.
    virtual void paint_picture(int code, double x, double y) = 0;
    // One-pixel outline of the rectangle from (x1, y1) to (x2, y2), not filled.
    virtual void draw_outline(int colour, double x1, double y1, double x2, double y2) = 0;
    // Transparent text (UTF-8) with its top-left at (x, y).
    virtual void print_text(double x, double y, const std::string& text, int colour, int size_pt, bool bold) = 0;
    // Show what has been painted, now.
    virtual void refresh() = 0;

    // A modal message box; returns the button pressed.
    virtual MsgAnswer message_box(const std::string& text, const std::string& title,
                                  MsgIcon icon, MsgButtons buttons) = 0;

    // Menu items by name.
    virtual bool menu_checked(const std::string& item) const = 0;
    virtual void set_menu_checked(const std::string& item, bool checked) = 0;
    virtual void set_menu_enabled(const std::string& item, bool enabled) = 0;
    // The caption of a menu item (the handicap rungs and the level change it).
    virtual void set_menu_caption(const std::string& item, const std::string& caption) = 0;

    // Timer1, 50 ms period.
    virtual void set_timer1(bool enabled) = 0;
    virtual bool timer1_enabled() const = 0;

    // Time of day in seconds since midnight, with fractions.
    virtual double time_of_day() = 0;
    // Let time pass without handling any event (used by busy waits).
    virtual void sleep(double seconds) = 0;
    // While the game waits (the searching player thinking on another thread,
    // a pause or a falling step of the pieces): lets the window repaint and
    // take a request to close it or an Esc, for a moment.  Clicks, menu
    // commands and Timer1 do not reach the game meanwhile; they are dropped,
    // not kept for later.  The game counts its own clock while it thinks.
    virtual void keep_alive() {}

    // Shows the window that explains the rules (遊び方) beside the game's
    // window, without holding the game up (not modal); when it is open
    // already it comes to the front.  A port without windows does nothing.
    virtual void show_rules() {}

    // Record-file controls.
    virtual void show_record_control(RecordControl control, bool visible) = 0;
    // A text field of the save panel (UTF-8).
    virtual std::string record_text(RecordText field) const = 0;
    virtual void set_record_text(RecordText field, const std::string& text) = 0;
    // What is chosen in a list: the drive's root folder, the folder, or the
    // file's name (without its folder).
    virtual std::string record_selection(RecordControl list) const = 0;
    // The folder the file list shows.
    virtual std::string record_folder() const = 0;
    // Moves the folder list or the file list to `folder` (the file list reads
    // it again); false when the folder's device is not ready.
    virtual bool set_record_folder(RecordControl list, const std::string& folder) = 0;

    // End the program at once.
    virtual void end_program() = 0;
    // True once end_program has been called: whatever the game was doing
    // stops without waiting or painting any more.
    virtual bool program_ending() const = 0;
};

}  // namespace zemtori
