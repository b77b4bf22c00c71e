// The game's window: a menu bar built from the game's menu table, a canvas
// that keeps what is painted on it, message boxes, Timer1 and the clock.
#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QPixmap>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "port/port.h"
#include "qt/picture_set.h"

class QAction;
class QMenu;
class QMessageBox;

namespace zemtori {

class Canvas;
class RecordControls;
class RulesWindow;

class MainWindow : public QMainWindow, public Port {
    Q_OBJECT
public:
    // The menu bar is built from `menu`, the game's table.
    // `device_pixel_ratio` 0 takes the screens' ratio; tests set one.
    explicit MainWindow(const std::vector<MenuEntry>& menu, QWidget* parent = nullptr,
                        qreal device_pixel_ratio = 0);
    ~MainWindow() override;

    // Loads the pictures from `folder`, the double-size set on a
    // high-density screen; says which file stopped it, if one did.
    PictureProblem load_pictures(const QString& folder);

    // Puts the window at the top-left corner of the screen with its outer
    // size of 12000 x 7500 twips, which is also its smallest size: made
    // larger, the canvas shows the picture larger.  Call once the window is
    // shown, when the size of its frame is known.
    void place_on_screen();
    // True once place_on_screen has fitted the window the second time.
    bool placed() const { return placed_; }

    // What the window tells the game.  Unset handlers are skipped.
    struct Events {
        std::function<void(const std::string& item)> menu;
        std::function<void(int button, double x, double y)> mouse_down;
        std::function<void(int key)> key_press;
        std::function<void()> timer_tick;
        std::function<void()> closing;
        // The program is ended from outside (a signal, the session's end):
        // as closing, but nobody may be there to read a box.  Unset: closing.
        std::function<void()> ended_from_outside;
        std::function<void(RecordControl control)> record_control_used;
        // A drag (Canvas): the piece a press lifted, the cell (column, row)
        // it would come to rest on, and where it was let go.
        std::function<std::optional<int>(double x, double y)> drag_piece;
        std::function<std::optional<QPoint>(double x, double y)> drag_landing;
        std::function<void(int button, double x, double y)> drag_drop;
    };
    Events events;

    // What closing the window does, asked from outside (a signal, the end of
    // the session): the game is told the window closes, and the program ends
    // as after a close.  Nothing once the program has ended.
    void close_from_outside();

    // How end_program ends the program; by default it leaves the event loop
    // with exit code 0.  Tests replace it.
    std::function<void()> end_hook;
    // True once end_program has run.
    bool ended() const { return ended_; }
    // True inside keep_alive, while the game waits: what the player does in
    // another of the program's windows must not reach the game either.
    bool busy() const { return busy_; }

    // Inside views, for tests.
    Canvas* canvas() const { return canvas_; }
    const QImage& canvas_image() const;
    const PictureSet& pictures() const { return pictures_; }
    QAction* action(const std::string& item) const;  // also a submenu's own action
    QMenu* submenu(const std::string& item) const;   // nullptr for a leaf
    bool record_control_visible(RecordControl control) const;
    // The record-file controls, made on first use: they stay hidden until the
    // game shows them, and making them (their fonts above all) is a good part
    // of what opening the window would otherwise cost.
    RecordControls* record_controls() const;
    bool record_controls_made() const { return records_ != nullptr; }
    // The rules window (遊び方), made the first time it is shown; nullptr before.
    RulesWindow* rules_window() const { return rules_; }

    // Port
    void paint_picture(int code, double x, double y) override;
    void draw_outline(int colour, double x1, double y1, double x2, double y2) override;
    void print_text(double x, double y, const std::string& text, int colour, int size_pt, bool bold) override;
    void refresh() override;
    MsgAnswer message_box(const std::string& text, const std::string& title, MsgIcon icon,
                          MsgButtons buttons) override;
    bool menu_checked(const std::string& item) const override;
    void set_menu_checked(const std::string& item, bool checked) override;
    void set_menu_enabled(const std::string& item, bool enabled) override;
    void set_menu_caption(const std::string& item, const std::string& caption) override;
    void set_timer1(bool enabled) override;
    bool timer1_enabled() const override;
    double time_of_day() override;
    void sleep(double seconds) override;
    void keep_alive() override;
    void show_rules() override;
    void show_record_control(RecordControl control, bool visible) override;
    std::string record_text(RecordText field) const override;
    void set_record_text(RecordText field, const std::string& text) override;
    std::string record_selection(RecordControl list) const override;
    std::string record_folder() const override;
    bool set_record_folder(RecordControl list, const std::string& folder) override;
    void end_program() override;
    bool program_ending() const override { return ended_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menus(const std::vector<MenuEntry>& menu);
    void fit_outer_size();
    void send_menu(const std::string& item);
    void use_shared_icons(QMessageBox& box, MsgIcon icon);

    Canvas* canvas_ = nullptr;
    PictureSet pictures_;
    QTimer timer1_;
    std::map<std::string, QAction*> actions_;
    std::map<std::string, QMenu*> menus_;
    std::map<QAction*, std::string> shortcut_menus_;  // an item with a key: its menu
    mutable RecordControls* records_ = nullptr;
    RulesWindow* rules_ = nullptr;
    // The icons every message box shows, made once (see use_shared_icons).
    std::map<int, QIcon> box_button_icons_;
    QPixmap box_warning_;
    bool ended_ = false;
    bool placed_ = false;
    // Inside keep_alive: the window paints and takes a close request or an
    // Esc, and drops clicks, commands and Timer1's ticks.
    bool busy_ = false;
};

}  // namespace zemtori
