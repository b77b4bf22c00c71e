#include "display/version.h"

namespace zemtori {

std::string version_text() {
    std::string text = "Zemtori " ZEMTORI_VERSION;
    text += "\r";
    text += "\r";
    text += "License\r";
    text += ZEMTORI_LICENSE;
    text += "\r";
    text += "\r";
    text += ZEMTORI_COPYRIGHT;
    return text;
}

void version_box(Port& port, const std::function<void()>& play_sound) {
    port.show_record_control(RecordControl::DriveList, false);
    port.show_record_control(RecordControl::DirList, false);
    port.show_record_control(RecordControl::FileList, false);
    port.show_record_control(RecordControl::SavePanel, false);
    if (play_sound) play_sound();
    port.message_box(version_text(), DEFAULT_TITLE, MsgIcon::None, MsgButtons::Ok);
}

}  // namespace zemtori
