#include "test_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>

#include "rules/moves.h"

namespace zemtori::test {

Position board_from_text(const std::string& text) {
    Position pos;
    std::istringstream in(text);
    std::string field;
    int n = 0;
    while (in >> field) {
        if (n >= 81) throw std::runtime_error("board text has more than 81 fields");
        const int x = n / 9 + 1, y = n % 9 + 1;
        pos.BAN[x][y] = field == "." ? 0 : std::stoi(field);
        ++n;
    }
    if (n != 81) throw std::runtime_error("board text needs 81 fields, has " + std::to_string(n));
    return pos;
}

Position board_with(std::initializer_list<std::array<int, 3>> pieces) {
    Position pos;
    for (const auto& p : pieces) pos.BAN[p[0]][p[1]] = p[2];
    return pos;
}

Position opening_position() {
    return board_from_text(R"(
         20  .  10 . . . -10  .  -20
         30 70  10 . . . -10 -60 -30
         40  .  10 . . . -10  .  -40
         50  .  10 . . . -10  .  -50
         80  .  10 . . . -10  .  -80
         50  .  10 . . . -10  .  -50
         40  .  10 . . . -10  .  -40
         30 60  10 . . . -10 -70 -30
         20  .  10 . . . -10  .  -20
    )");
}

Position settled_opening() {
    Position pos = opening_position();
    rakka(pos, nullptr);
    return pos;
}

void expect_same_board(const Position& got, const Position& want) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            EXPECT_EQ(got.BAN[x][y], want.BAN[x][y])
                << "square (" << x << "," << y << ")\n"
                << board_to_text(got);
}

bool same_board_and_hands(const Position& a, const Position& b) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (a.BAN[x][y] != b.BAN[x][y]) return false;
    for (int k = 1; k <= MOCHI_SLOTS; ++k)
        if (a.MOCHI_UE_KOMA[k] != b.MOCHI_UE_KOMA[k] || a.MOCHI_UE_KAZU[k] != b.MOCHI_UE_KAZU[k] ||
            a.MOCHI_SITA_KOMA[k] != b.MOCHI_SITA_KOMA[k] || a.MOCHI_SITA_KAZU[k] != b.MOCHI_SITA_KAZU[k])
            return false;
    return true;
}

std::string board_to_text(const Position& pos) {
    std::ostringstream out;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const int c = pos.BAN[x][y];
            out.width(4);
            if (c == 0) out << "."; else out << c;
        }
        out << '\n';
    }
    return out.str();
}

std::string case_name(const std::string& what) {
    std::string name;
    bool word_start = true;
    for (const char ch : what) {
        const bool alnum = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
        if (!alnum) {
            word_start = true;
            continue;
        }
        name += word_start && ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
        word_start = false;
    }
    return name.empty() ? "Unnamed" : name;
}

int in_child(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_DFL);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

}  // namespace zemtori::test
