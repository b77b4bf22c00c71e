#include "port/headless_port.h"

#include <cmath>

namespace zemtori {

void HeadlessPort::paint_picture(int code, double x, double y) {
    ops.push_back({OpKind::Picture, code, x, y, 0, 0, {}, 0, false});
}

void HeadlessPort::draw_outline(int colour, double x1, double y1, double x2, double y2) {
    ops.push_back({OpKind::Outline, colour, x1, y1, x2, y2, {}, 0, false});
}

void HeadlessPort::print_text(double x, double y, const std::string& text, int colour, int size_pt, bool bold) {
    ops.push_back({OpKind::Text, colour, x, y, 0, 0, text, size_pt, bold});
}

void HeadlessPort::refresh() {
    ++refreshes;
    ops.push_back({OpKind::Refresh, 0, 0, 0, 0, 0, {}, 0, false});
}

MsgAnswer HeadlessPort::message_box(const std::string& text, const std::string& title, MsgIcon icon,
                                    MsgButtons buttons) {
    messages.push_back({text, title, icon, buttons});
    if (on_message) on_message(messages.back());
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) return MsgAnswer::Yes;
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

bool HeadlessPort::menu_checked(const std::string& item) const {
    const auto it = checked_.find(item);
    return it != checked_.end() && it->second;
}

void HeadlessPort::set_menu_checked(const std::string& item, bool checked) { checked_[item] = checked; }

void HeadlessPort::set_menu_enabled(const std::string& item, bool on) { enabled[item] = on; }

void HeadlessPort::set_menu_caption(const std::string& item, const std::string& caption) {
    captions[item] = caption;
}

void HeadlessPort::sleep(double seconds) {
    if (seconds <= 0) return;
    now = std::fmod(now + seconds, 86400.0);
}

void HeadlessPort::show_record_control(RecordControl control, bool visible) {
    record_controls[control] = visible;
}

std::string HeadlessPort::record_text(RecordText field) const {
    const auto it = record_texts.find(field);
    return it == record_texts.end() ? std::string() : it->second;
}

void HeadlessPort::set_record_text(RecordText field, const std::string& text) { record_texts[field] = text; }

std::string HeadlessPort::record_selection(RecordControl list) const {
    const auto it = selections.find(list);
    return it == selections.end() ? std::string() : it->second;
}

bool HeadlessPort::set_record_folder(RecordControl list, const std::string& folder) {
    for (const std::string& f : unready_folders)
        if (f == folder) return false;
    if (list == RecordControl::DirList) dir_folder = folder;
    if (list == RecordControl::FileList) {
        file_folder = folder;
        ++file_list_reads;
    }
    return true;
}

std::optional<int> HeadlessPort::picture_at_twips(double x, double y) const {
    for (auto it = ops.rbegin(); it != ops.rend(); ++it)
        if (it->kind == OpKind::Picture && std::fabs(it->x - x) < 0.5 && std::fabs(it->y - y) < 0.5)
            return it->code;
    return std::nullopt;
}

std::vector<std::string> HeadlessPort::texts() const {
    std::vector<std::string> out;
    for (const Op& op : ops)
        if (op.kind == OpKind::Text) out.push_back(op.text);
    return out;
}

}  // namespace zemtori
