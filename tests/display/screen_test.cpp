// Board drawing through the headless port: positions, order and colours of
// what a full or partial redraw paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/screen.h"
#include "picture_at.h"
#include "port/headless_port.h"
#include "test_support.h"

namespace zemtori {
namespace {

using Op = HeadlessPort::Op;
using Kind = HeadlessPort::OpKind;

struct ScreenTest : ::testing::Test {
    HeadlessPort port;
    Screen screen{port};
};

TEST_F(ScreenTest, PicturesAndFramesLandOnTheGridInTwips) {
    screen.gazou_hyouji(-10, 3, 2);
    screen.waku_hyouji(12, 3, 2);
    ASSERT_EQ(port.ops.size(), 2u);
    EXPECT_EQ(port.ops[0].kind, Kind::Picture);
    EXPECT_DOUBLE_EQ(port.ops[0].x, 1300 + 3 * 615);
    EXPECT_DOUBLE_EQ(port.ops[0].y, 200 + 2 * 495);
    EXPECT_EQ(port.ops[1].kind, Kind::Outline);
    EXPECT_EQ(port.ops[1].code, 12);
    EXPECT_DOUBLE_EQ(port.ops[1].x2 - port.ops[1].x, 615);
    EXPECT_DOUBLE_EQ(port.ops[1].y2 - port.ops[1].y, 495);
}

TEST_F(ScreenTest, NumbersPrintWithBlanksAndKanjiModePrintsNumerals) {
    screen.moji_hyouji(0, 0, 5, 0, 0, 14);
    screen.moji_hyouji(0, 0, 12, 0, 0, 14);
    screen.moji_hyouji(0, 0, 3, 0, 1, 12);
    screen.moji_hyouji(0, 0, 10, 0, 1, 12);  // no numeral: nothing printed
    screen.moji_hyouji(0, 0, 0, 0, 2, 12);
    EXPECT_EQ(port.texts(), (std::vector<std::string>{" 5 ", " 12 ", "三"}));
}

TEST_F(ScreenTest, CaptionsAreOffsetInsideTheirCell) {
    screen.meishou_hyouji(11, 1, -10, 15, 10);
    screen.meishou_hyouji(13, 3, 99, 15, 10);
    screen.meishou_hyouji(13, 3, 11, 15, 10);  // not a caption
    ASSERT_EQ(port.texts(), (std::vector<std::string>{"ﾊﾝﾃﾞｨｷｬｯﾌﾟ:名人", "手目"}));
    EXPECT_DOUBLE_EQ(port.ops[0].x, 1300 + 11 * 615 + 120);
    EXPECT_DOUBLE_EQ(port.ops[0].y, 200 + 1 * 495 + 160);
    EXPECT_EQ(meishou(0), "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:２級");
    EXPECT_EQ(meishou(10), "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:12級");
}

TEST_F(ScreenTest, LabelsRead9To1AcrossAnd1To9DownInShadowedBold) {
    EXPECT_FALSE(screen.bold);
    screen.zahyou_hyouji();
    EXPECT_TRUE(screen.bold);
    std::vector<Op> texts;
    for (const Op& op : port.ops)
        if (op.kind == Kind::Text) texts.push_back(op);
    ASSERT_EQ(texts.size(), 36u);
    for (int i = 1; i <= 9; ++i) {
        const Op& black = texts[(i - 1) * 4];
        const Op& yellow = texts[(i - 1) * 4 + 1];
        EXPECT_EQ(black.text, " " + std::to_string(10 - i) + " ");
        EXPECT_EQ(black.code, 0);
        EXPECT_EQ(yellow.code, 14);
        EXPECT_EQ(yellow.size, 16);
        EXPECT_TRUE(yellow.bold);
        // The coloured text sits 0.1 cell left and up of its shadow.
        EXPECT_NEAR(black.x - yellow.x, 61.5, 1e-9);
        EXPECT_NEAR(black.y - yellow.y, 49.5, 1e-9);
        EXPECT_EQ(texts[(i - 1) * 4 + 3].text, kansuuji(i));
    }
    // The leftmost column reads 9, the rightmost 1; the top row 一, the bottom 九.
    EXPECT_LT(texts[0].x, texts[32].x);
    EXPECT_EQ(texts[2].text, "一");
    EXPECT_EQ(texts[34].text, "九");
}

TEST_F(ScreenTest, BackgroundTilesEveryCellOutsideTheBoardOnly) {
    screen.haikei_hyouji(HAIKEI_TAKE);
    EXPECT_EQ(port.ops.size(), 32u * 24u - 81u);
    for (const Op& op : port.ops) EXPECT_EQ(op.code, HAIKEI_TAKE);
    EXPECT_FALSE(test::picture_at(port, 1, 1).has_value());
    EXPECT_FALSE(test::picture_at(port, 9, 9).has_value());
    EXPECT_EQ(test::picture_at(port, 28, 21), HAIKEI_TAKE);
    EXPECT_EQ(test::picture_at(port, -3, -2), HAIKEI_TAKE);
    EXPECT_EQ(test::picture_at(port, 10, 5), HAIKEI_TAKE);
}

TEST_F(ScreenTest, BoardIsDrawnRowByRowEachSquareWithItsFrame) {
    Position pos = test::opening_position();
    pos.BAN[4][4] = 51;  // not a piece: the painter is asked, the frame still drawn
    screen.ban_hyouji(pos);
    ASSERT_EQ(port.ops.size(), 162u);
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
            const Op& pic = port.ops[((r - 1) * 9 + (c - 1)) * 2];
            const Op& frame = port.ops[((r - 1) * 9 + (c - 1)) * 2 + 1];
            EXPECT_EQ(pic.code, pos.BAN[r][c]);
            EXPECT_DOUBLE_EQ(pic.x, grid_x(c));
            EXPECT_DOUBLE_EQ(pic.y, grid_y(r));
            EXPECT_EQ(frame.kind, Kind::Outline);
            EXPECT_EQ(frame.code, MIDORI_IRO);
        }
}

TEST_F(ScreenTest, HandsShowPiecesWithRedCountsAndEmptySlotsAsEmptySquares) {
    Position pos;
    pos.MOCHI_SITA_KOMA[7] = -10;
    pos.MOCHI_SITA_KAZU[7] = 12;
    pos.MOCHI_SITA_KOMA[6] = -70;  // count 0: stale code, shows empty
    pos.MOCHI_UE_KOMA[1] = 40;
    pos.MOCHI_UE_KAZU[1] = 1;
    screen.mochigoma_hyouji_sita(pos);
    EXPECT_EQ(test::picture_at(port, 11, 9), -10);
    EXPECT_EQ(test::picture_at(port, 11, 8), 0);
    EXPECT_EQ(test::picture_at(port, 12, 9), screen.haikei());
    EXPECT_EQ(port.texts(), (std::vector<std::string>{" 12 ", " 12 "}));
    const auto red = std::find_if(port.ops.begin(), port.ops.end(),
                                  [](const Op& op) { return op.kind == Kind::Text && op.code == 12; });
    ASSERT_NE(red, port.ops.end());
    EXPECT_DOUBLE_EQ(red->x, grid_x(12));
    EXPECT_DOUBLE_EQ(red->y, grid_y(9.2));
    port.clear();
    screen.mochigoma_hyouji_ue(pos);
    EXPECT_EQ(test::picture_at(port, -1, 1), 40);
    EXPECT_EQ(test::picture_at(port, -1, 2), 0);
    EXPECT_EQ(test::picture_at(port, 0, 1), screen.haikei());
}

TEST_F(ScreenTest, EraseFramesRedrawsAllBoardFramesInTheEraseColour) {
    screen.waku_kesu();
    ASSERT_EQ(port.ops.size(), 81u);
    for (const Op& op : port.ops) EXPECT_EQ(op.code, screen.KESU_IRO);
    port.clear();
    screen.mochi_waku_kesu();
    ASSERT_EQ(port.ops.size(), 14u);
    EXPECT_DOUBLE_EQ(port.ops[0].x, grid_x(-1));
    EXPECT_DOUBLE_EQ(port.ops[1].x, grid_x(11));
    EXPECT_DOUBLE_EQ(port.ops[1].y, grid_y(3));
}

TEST(GeometryTest, CellsAndPixelsRoundTrip) {
    EXPECT_EQ(cell_column(grid_x(5) + 10), 5);
    EXPECT_EQ(cell_row(grid_y(9) + 494), 9);
    EXPECT_EQ(to_pixels(grid_x(0)), 87);
    EXPECT_EQ(to_pixels(grid_x(1)) - to_pixels(grid_x(0)), 41);
    EXPECT_EQ(to_pixels(grid_y(1)) - to_pixels(grid_y(0)), 33);
}

}  // namespace
}  // namespace zemtori

namespace zemtori {
namespace {
TEST(GeometryTest, PointsLeftOfColumnZeroAreInColumnMinusOne) {
    EXPECT_EQ(cell_column(grid_x(-1) + 300), -1);
    EXPECT_EQ(cell_column(grid_x(0) - 1), -1);
    EXPECT_EQ(cell_column(grid_x(0)), 0);
    EXPECT_EQ(cell_row(grid_y(0) - 1), -1);
}
}  // namespace
}  // namespace zemtori
