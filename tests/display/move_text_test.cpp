// The move text beside the board, the move counter and the version box, as
// the headless port sees them painted.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "display/move_text.h"
#include "display/version.h"
#include "port/headless_port.h"

namespace zemtori {
namespace {

using Op = HeadlessPort::Op;
using Kind = HeadlessPort::OpKind;

bool near(double a, double b) { return std::fabs(a - b) < 1e-6; }

// A printed text as grid position, for readable expectations.
struct Printed {
    std::string text;
    double c, r;
    int colour, size;
};

std::vector<Printed> printed(const HeadlessPort& port) {
    std::vector<Printed> out;
    for (const Op& op : port.ops)
        if (op.kind == Kind::Text)
            out.push_back({op.text, (op.x - BAN_X0) / MASU_HABA, (op.y - BAN_Y0) / MASU_TAKASA,
                           op.code, op.size});
    return out;
}

void expect_printed(const std::vector<Printed>& got, const std::vector<Printed>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("text " + std::to_string(i) + " " + want[i].text);
        EXPECT_EQ(got[i].text, want[i].text);
        EXPECT_TRUE(near(got[i].c, want[i].c)) << got[i].c;
        EXPECT_TRUE(near(got[i].r, want[i].r)) << got[i].r;
        EXPECT_EQ(got[i].colour, want[i].colour);
        EXPECT_EQ(got[i].size, want[i].size);
    }
}

// Grid cells of the pictures painted, in order.
std::vector<std::pair<double, double>> picture_cells(const HeadlessPort& port) {
    std::vector<std::pair<double, double>> out;
    for (const Op& op : port.ops)
        if (op.kind == Kind::Picture)
            out.push_back({(op.x - BAN_X0) / MASU_HABA, (op.y - BAN_Y0) / MASU_TAKASA});
    return out;
}

struct MoveTextTest : ::testing::Test {
    HeadlessPort port;
    int haikei = HAIKEI_TAKE;  // the background the options hold
    Screen screen{port, haikei};
    TurnState turn;  // COM_GAWA +1, MAN_GAWA -1
};

TEST(MoveWords, ValuesBecomeDigitsNumeralsAndPieceNames) {
    const struct { int v; const char* text; } cases[] = {
        {1, "１"}, {3, "３"}, {9, "９"},
        {1001, "一"}, {1006, "六"}, {1009, "九"},
        {10, "歩"}, {-10, "歩"}, {11, "と"}, {-11, "と"},
        {20, "香"}, {-21, "香成"}, {30, "桂"}, {31, "桂成"},
        {40, "銀"}, {-41, "銀成"}, {50, "金"}, {-50, "金"},
        {60, "角"}, {61, "角成"}, {70, "飛"}, {71, "飛成"}, {-71, "飛成"},
        {80, "王"}, {-80, "王"},
        // Not a digit, numeral or piece: nothing.
        {0, ""}, {1000, ""}, {1010, ""}, {51, ""}, {-81, ""}, {12, ""}, {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(moji_henkan(c.v), c.text) << c.v;
}

TEST_F(MoveTextTest, LowerPawnOnRow6Column3ReadsSevenSixPawnOnTheRight) {
    sashite_hyouji(screen, turn, turn.MAN_GAWA, 6, 3, -10, 15);
    expect_printed(printed(port), {
        {"７", 12.5, 2.5, 0, 12}, {"７", 12.4, 2.4, 15, 12},
        {"六", 12.9, 2.5, 0, 12}, {"六", 12.8, 2.4, 15, 12},
        {"歩", 13.5, 2.5, 0, 12}, {"歩", 13.4, 2.4, 15, 12},
    });
    // The area is tiled with the current background before anything is written.
    const std::vector<std::pair<double, double>> tiles{{12, 2}, {13, 2}, {14, 2}};
    EXPECT_EQ(picture_cells(port), tiles);
    EXPECT_EQ(port.ops[0].kind, Kind::Picture);
    EXPECT_EQ(port.ops[0].code, HAIKEI_TAKE);
}

TEST_F(MoveTextTest, UpperPromotedRookIsWrittenLeftOfTheBoardWithItsFrames) {
    sashite_hyouji(screen, turn, turn.COM_GAWA, 2, 5, 71, 15);
    expect_printed(printed(port), {
        {"５", -1.5, 8.5, 0, 12}, {"５", -1.6, 8.4, 15, 12},
        {"二", -1.1, 8.5, 0, 12}, {"二", -1.2, 8.4, 15, 12},
        {"飛成", -0.5, 8.5, 0, 12}, {"飛成", -0.6, 8.4, 15, 12},
    });
    // Four tiles, the hand slot's frame, the texts, then the board cell's frame.
    ASSERT_GE(port.ops.size(), 5u);
    const std::vector<std::pair<double, double>> tiles{{-3, 8}, {-2, 8}, {-1, 8}, {0, 8}};
    EXPECT_EQ(picture_cells(port), tiles);
    const Op& hand_frame = port.ops[4];
    EXPECT_EQ(hand_frame.kind, Kind::Outline);
    EXPECT_DOUBLE_EQ(hand_frame.x, grid_x(-1));
    EXPECT_DOUBLE_EQ(hand_frame.y, grid_y(7));
    const Op& last = port.ops.back();
    EXPECT_EQ(last.kind, Kind::Outline);
    EXPECT_EQ(last.code, screen.WAKU_IRO);
    EXPECT_DOUBLE_EQ(last.x, grid_x(1));
    EXPECT_DOUBLE_EQ(last.y, grid_y(8));
}

TEST_F(MoveTextTest, PromotedPawnAndKingsUseTheirOwnNames) {
    sashite_hyouji(screen, turn, turn.MAN_GAWA, 1, 9, -11, 15);
    sashite_hyouji(screen, turn, turn.COM_GAWA, 5, 1, 80, 15);
    sashite_hyouji(screen, turn, turn.MAN_GAWA, 9, 9, -80, 15);
    const auto t = port.texts();
    ASSERT_EQ(t.size(), 18u);
    EXPECT_EQ(t[0], "１");
    EXPECT_EQ(t[2], "一");
    EXPECT_EQ(t[4], "と");
    EXPECT_EQ(t[6], "９");
    EXPECT_EQ(t[8], "五");
    EXPECT_EQ(t[10], "王");
    EXPECT_EQ(t[16], "王");
}

TEST_F(MoveTextTest, EachSideRepaintsOnlyItsOwnArea) {
    sashite_hyouji(screen, turn, turn.COM_GAWA, 3, 3, 10, 15);
    port.clear();
    sashite_hyouji(screen, turn, turn.MAN_GAWA, 7, 7, -40, 15);
    for (const Op& op : port.ops) {
        // Nothing of the lower side's move touches the left of the board.
        EXPECT_GT(op.x, grid_x(11)) << static_cast<int>(op.kind) << " " << op.text;
        EXPECT_LT(op.y, grid_y(3)) << static_cast<int>(op.kind) << " " << op.text;
    }
    port.clear();
    sashite_hyouji(screen, turn, turn.COM_GAWA, 4, 4, 20, 15);
    for (const Op& op : port.ops) EXPECT_LE(op.x, grid_x(1)) << op.text;
}

TEST_F(MoveTextTest, AreaFollowsThePlayersNotTheSignOfTheSide) {
    // The human moved first: the human is +1, the upper side's player -1.
    turn.MAN_GAWA = 1;
    turn.COM_GAWA = -1;
    sashite_hyouji(screen, turn, -1, 6, 3, 10, 15);
    const auto p = printed(port);
    ASSERT_FALSE(p.empty());
    EXPECT_TRUE(near(p[0].c, -1.5));
    port.clear();
    sashite_kesu(screen, turn, 1);
    EXPECT_EQ(picture_cells(port), (std::vector<std::pair<double, double>>{{12, 2}, {13, 2}, {14, 2}}));
}

TEST_F(MoveTextTest, NoSideDrawsNothing) {
    sashite_kesu(screen, turn, 0);
    sashite_hyouji(screen, turn, 0, 5, 5, 10, 15);
    EXPECT_TRUE(port.ops.empty());
}

TEST_F(MoveTextTest, AStepWithNoChangedSquareShowsOnlyThePawnName) {
    // x, y and code 0: the column position shows the name of 10 - 0.
    sashite_hyouji(screen, turn, turn.MAN_GAWA, 0, 0, 0, 15);
    expect_printed(printed(port), {{"歩", 12.5, 2.5, 0, 12}, {"歩", 12.4, 2.4, 15, 12}});
}

TEST_F(MoveTextTest, CounterMovesLeftWithEachExtraDigit) {
    const struct { int n; double c_shadow; } cases[] = {
        {0, 13.3}, {9, 13.3}, {10, 13.2}, {99, 13.2}, {100, 13.1}, {1234, 13.1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        port.clear();
        tesu_hyouji(screen, c.n);
        const std::string number = " " + std::to_string(c.n) + " ";
        expect_printed(printed(port), {
            {number, c.c_shadow, 3.4, 0, 12},
            {number, c.c_shadow - 0.1, 3.3, 15, 12},
            // "手目" as a caption: 120 and 160 twips inside its cell.
            {"手目", 13.9 + 120.0 / MASU_HABA, 3.2 + 160.0 / MASU_TAKASA, 0, 10},
            {"手目", 13.8 + 120.0 / MASU_HABA, 3.1 + 160.0 / MASU_TAKASA, 15, 10},
        });
        EXPECT_EQ(picture_cells(port), (std::vector<std::pair<double, double>>{{13, 3}, {14, 3}}));
        ASSERT_EQ(port.ops[2].kind, Kind::Outline);
        EXPECT_DOUBLE_EQ(port.ops[2].x, grid_x(11));
        EXPECT_DOUBLE_EQ(port.ops[2].y, grid_y(3));
    }
}

TEST_F(MoveTextTest, TextsFollowTheScreensBoldFlag) {
    sashite_hyouji(screen, turn, turn.MAN_GAWA, 1, 1, -10, 15);
    EXPECT_FALSE(port.ops.back().bold);
    screen.bold = true;
    sashite_hyouji(screen, turn, turn.MAN_GAWA, 1, 1, -10, 15);
    EXPECT_TRUE(port.ops.back().bold);
}

TEST(VersionBox, HidesTheFilePanelPlaysTheChimeThenShowsNameLicenceAndCopyright) {
    HeadlessPort port;
    for (auto c : {RecordControl::DriveList, RecordControl::DirList, RecordControl::FileList,
                   RecordControl::SavePanel})
        port.record_controls[c] = true;
    size_t boxes_before_sound = 99;
    version_box(port, [&] { boxes_before_sound = port.messages.size(); });

    EXPECT_EQ(boxes_before_sound, 0u);
    for (const auto& [control, visible] : port.record_controls) EXPECT_FALSE(visible);
    ASSERT_EQ(port.messages.size(), 1u);
    const auto& box = port.messages[0];
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(box.title, "Zemtori");

    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(box.text);
    while (std::getline(in, line, '\r')) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u) << box.text;
    EXPECT_EQ(lines[0], std::string("Zemtori ") + ZEMTORI_VERSION);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "License");
    EXPECT_EQ(lines[3], "MIT");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Copyright (c) 2026 The Zemtori developers");
    // No placeholder address reaches the player.
    EXPECT_EQ(box.text.find("example"), std::string::npos) << box.text;
    EXPECT_EQ(box.text.find('@'), std::string::npos) << box.text;
    EXPECT_EQ(box.text.find('\n'), std::string::npos);
}

}  // namespace
}  // namespace zemtori
