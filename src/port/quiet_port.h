// A port that shows nothing and waits for nothing, for the analysis tool and
// the benchmarks: paints, refreshes, sounds of the window and record-file
// controls go nowhere; message boxes are remembered and answered OK (Yes to a
// question); check marks and Timer1 are kept; and the time of day moves a
// whole second at every reading, so every busy wait ends at its first look at
// the clock.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "port/port.h"

namespace zemtori {

class QuietPort final : public Port {
public:
    void paint_picture(int, double, double) override {}
    void draw_outline(int, double, double, double, double) override {}
    void print_text(double, double, const std::string&, int, int, bool) override {}
    void refresh() override {}
    MsgAnswer message_box(const std::string& text, const std::string& title, MsgIcon icon,
                          MsgButtons buttons) override;
    bool menu_checked(const std::string& item) const override;
    void set_menu_checked(const std::string& item, bool checked) override { checked_[item] = checked; }
    void set_menu_enabled(const std::string&, bool) override {}
    void set_menu_caption(const std::string&, const std::string&) override {}
    void set_timer1(bool enabled) override { timer1_ = enabled; }
    bool timer1_enabled() const override { return timer1_; }
    double time_of_day() override;
    void sleep(double) override {}
    void show_record_control(RecordControl, bool) override {}
    std::string record_text(RecordText) const override { return {}; }
    void set_record_text(RecordText, const std::string&) override {}
    std::string record_selection(RecordControl) const override { return {}; }
    std::string record_folder() const override { return {}; }
    bool set_record_folder(RecordControl, const std::string&) override { return true; }
    void end_program() override { ended_ = true; }
    bool program_ending() const override { return ended_; }

    // The texts of the message boxes shown, in order.
    std::vector<std::string> messages;

private:
    std::map<std::string, bool> checked_;
    bool timer1_ = false;
    bool ended_ = false;
    double now_ = 0;
};

}  // namespace zemtori
