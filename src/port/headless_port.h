// A port without a window, for tests and tools: it records what was painted
// and asked, answers message boxes from a script, and keeps a fake clock that
// only moves when the game waits.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <functional>
#include <string>
#include <vector>

#include "port/port.h"

namespace zemtori {

class HeadlessPort : public Port {
public:
    enum class OpKind { Picture, Outline, Text, Refresh };
    struct Op {
        OpKind kind;
        int code = 0;       // picture code, or colour for outlines and text
        double x = 0, y = 0, x2 = 0, y2 = 0;
        std::string text;   // text for Text
        int size = 0;
        bool bold = false;
    };
    struct Message {
        std::string text, title;
        MsgIcon icon;
        MsgButtons buttons;
    };

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
    void set_timer1(bool enabled) override { timer1_ = enabled; }
    bool timer1_enabled() const override { return timer1_; }
    double time_of_day() override { return now; }
    void sleep(double seconds) override;
    // While the game waits (the searching player, the pauses and falling
    // steps of a move), this runs (when set) each time the window would
    // handle its events: a test acts here as the window's user would.
    std::function<void()> on_keep_alive;
    void keep_alive() override {
        if (on_keep_alive) on_keep_alive();
    }
    void show_record_control(RecordControl control, bool visible) override;
    std::string record_text(RecordText field) const override;
    void set_record_text(RecordText field, const std::string& text) override;
    std::string record_selection(RecordControl list) const override;
    std::string record_folder() const override { return file_folder; }
    bool set_record_folder(RecordControl list, const std::string& folder) override;
    void end_program() override { ended = true; }
    bool program_ending() const override { return ended; }
    void show_rules() override { ++rules_shown; }

    // What happened.
    std::vector<Op> ops;
    std::vector<Message> messages;
    std::map<std::string, bool> enabled;
    std::map<std::string, std::string> captions;
    std::map<RecordControl, bool> record_controls;
    // The record-file controls as a script sets them: the texts typed, what
    // is chosen in each list, the folders of the folder and file lists, and
    // the folders whose device is not ready.
    std::map<RecordText, std::string> record_texts;
    std::map<RecordControl, std::string> selections;
    std::string dir_folder = ".", file_folder = ".";
    std::vector<std::string> unready_folders;
    int file_list_reads = 0;  // how often the file list read its folder
    bool ended = false;
    int refreshes = 0;
    int rules_shown = 0;  // how often the rules window was asked for

    // Answers for Yes/No boxes, taken in order; Yes when the script is empty.
    std::deque<MsgAnswer> answers;
    // Runs (when set) while a box waits for its answer, after it is logged:
    // a test lets time pass here, or closes the window, as a player would.
    std::function<void(const Message&)> on_message;

    // The fake clock, seconds since midnight; wraps at midnight like the real one.
    double now = 36000.0;

    // Helpers for tests.
    void clear() { ops.clear(); messages.clear(); refreshes = 0; }
    // The last picture painted with its top-left corner at (x, y) twips, if any.
    std::optional<int> picture_at_twips(double x, double y) const;
    // The texts printed, in order.
    std::vector<std::string> texts() const;

private:
    std::map<std::string, bool> checked_;
    bool timer1_ = false;
};

}  // namespace zemtori
