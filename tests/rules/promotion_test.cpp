// Promotion: where a move may promote, and where it must.
#include <gtest/gtest.h>

#include <initializer_list>

#include "rules/moves.h"

namespace zemtori {
namespace {

TEST(Promotion, ZonesOfBothSides) {
    struct Case {
        int from_x, from_y, to_y, koma, expected;
    };
    const Case cases[] = {
        // Lower pawn, lance, knight: on arriving in y = 1..3 only.
        {5, 4, 3, -HU, 1},    {5, 2, 1, -HU, 1},    {5, 5, 4, -HU, 0},
        {5, 3, 4, -HU, 0},    {5, 9, 3, -KYOU, 1},  {5, 9, 4, -KYOU, 0},
        {5, 5, 3, -KEI, 1},   {5, 6, 4, -KEI, 0},
        // Lower silver, bishop, rook: arriving in or leaving the zone.
        {5, 4, 3, -GIN, 1},   {5, 3, 4, -GIN, 1},   {5, 5, 4, -GIN, 0},
        {5, 9, 1, -KAKU, 1},  {5, 2, 8, -KAKU, 1},  {5, 9, 5, -KAKU, 0},
        {5, 1, 9, -HISHA, 1}, {5, 8, 4, -HISHA, 0},
        // Upper pieces, mirrored.
        {5, 6, 7, HU, 1},     {5, 8, 9, HU, 1},     {5, 5, 6, HU, 0},
        {5, 7, 6, HU, 0},     {5, 1, 7, KYOU, 1},   {5, 1, 6, KYOU, 0},
        {5, 5, 7, KEI, 1},    {5, 4, 6, KEI, 0},
        {5, 6, 7, GIN, 1},    {5, 7, 6, GIN, 1},    {5, 6, 5, GIN, 0},
        {5, 1, 9, KAKU, 1},   {5, 8, 2, KAKU, 1},   {5, 1, 6, KAKU, 0},
        {5, 9, 1, HISHA, 1},  {5, 2, 6, HISHA, 0},
        // Kinds that never promote.
        {5, 6, 7, KIN, 0},    {5, 4, 3, -KIN, 0},   {5, 6, 7, OU, 0},
        {5, 4, 3, -OU, 0},    {5, 6, 8, TO, 0},     {5, 4, 2, -RYU, 0},
        {5, 8, 9, UMA, 0},    {5, 4, 3, -NARIGIN, 0},
        // A drop never promotes, not even into the zone.
        {UE_TE_X, 7, 8, GIN, 0},    {UE_TE_X, 7, 7, HU, 0},
        {SITA_TE_X, 3, 2, -HISHA, 0}, {SITA_TE_X, 3, 3, -GIN, 0},
    };
    for (const Case& c : cases) {
        int promoted = 12345;
        const int got = nari_hantei(c.from_x, c.from_y, 5, c.to_y, c.koma, &promoted);
        EXPECT_EQ(got, c.expected) << c.koma << " from (" << c.from_x << "," << c.from_y
                                   << ") to y = " << c.to_y;
        if (got == 1)
            EXPECT_EQ(promoted, c.koma > 0 ? c.koma + 1 : c.koma - 1) << c.koma;
        else
            EXPECT_EQ(promoted, 12345) << "left untouched on a refusal";
    }
}

TEST(Promotion, DestinationRowDoesNotEnter) {
    for (int to_x = 1; to_x <= 9; ++to_x) {
        int promoted = 0;
        EXPECT_EQ(nari_hantei(5, 4, to_x, 3, -GIN, &promoted), 1);
        EXPECT_EQ(promoted, -NARIGIN);
        EXPECT_EQ(nari_hantei(5, 4, to_x, 4, -GIN, &promoted), 0);
    }
}

TEST(Promotion, CompulsoryOnTheLastColumns) {
    struct Case {
        int koma;
        int must_promote_from, must_promote_to;  // columns where funari_kanou is 0
    };
    const Case cases[] = {
        {HU, 9, 9}, {KYOU, 9, 9}, {KEI, 8, 9}, {-HU, 1, 1}, {-KYOU, 1, 1}, {-KEI, 1, 2},
    };
    for (const Case& c : cases)
        for (int y = 1; y <= 9; ++y) {
            const int expected = y >= c.must_promote_from && y <= c.must_promote_to ? 0 : 1;
            EXPECT_EQ(funari_kanou(y, c.koma), expected) << c.koma << " on y = " << y;
        }
    // Everything else may always stay as it is.
    for (int koma : std::initializer_list<int>{GIN, -GIN, KIN, -KIN, KAKU, -KAKU, HISHA, -HISHA, OU, -OU, TO, -TO})
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(funari_kanou(y, koma), 1) << koma << " y " << y;
}

}  // namespace
}  // namespace zemtori
