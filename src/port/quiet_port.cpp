#include "port/quiet_port.h"

namespace zemtori {

MsgAnswer QuietPort::message_box(const std::string& text, const std::string&, MsgIcon, MsgButtons buttons) {
    messages.push_back(text);
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
}

bool QuietPort::menu_checked(const std::string& item) const {
    const auto it = checked_.find(item);
    return it != checked_.end() && it->second;
}

double QuietPort::time_of_day() {
    now_ += 1.0;
    if (now_ >= 86400.0) now_ -= 86400.0;
    return now_;
}

}  // namespace zemtori
