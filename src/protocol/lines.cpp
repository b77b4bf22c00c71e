#include "protocol/lines.h"

#include <istream>

namespace zemtori::protocol {

bool read_line(std::istream& in, std::string& line, std::size_t keep, bool* cut) {
    line.clear();
    if (cut != nullptr) *cut = false;
    std::streambuf* sb = in.rdbuf();
    bool any = false;
    for (;;) {
        const int ch = sb->sbumpc();
        if (ch == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            break;
        }
        any = true;
        if (ch == '\n') break;
        if (line.size() < keep) line.push_back(static_cast<char>(ch));
        else if (cut != nullptr && ch != ' ' && ch != '\t' && ch != '\r') *cut = true;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

}  // namespace zemtori::protocol
