// The generated pictures as the window loads them: every file there at its
// exact size, pieces facing the opponent, promoted ink in red, tiles without
// seams; and how the window finds and reports its data folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdlib>

#include "display/geometry.h"
#include "platform/qt/data_folder.h"
#include "platform/qt/picture_names.h"
#include "platform/qt/picture_set.h"

namespace zemtori {
namespace {

const QString PICTURES = QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures");

QImage load(int code, bool sharp = false) {
    const QString name = QString::fromStdString(picture_name(code)) + (sharp ? "@2x.png" : ".png");
    return QImage(QDir(PICTURES).filePath(name)).convertToFormat(QImage::Format_RGB32);
}

QSize logical_size(int code) {
    if (code == 1) return {TITLE_W, TITLE_H};
    if (code >= 2 && code <= 6) return {TILE_W, TILE_H};
    return {PIECE_W, PIECE_H};
}

TEST(GeneratedPictures, EveryPictureAtItsSizeAndDoubleSize) {
    for (const int code : PICTURE_CODES) {
        const QImage plain = load(code), sharp = load(code, true);
        ASSERT_FALSE(plain.isNull()) << picture_name(code);
        ASSERT_FALSE(sharp.isNull()) << picture_name(code) << "@2x";
        EXPECT_EQ(plain.size(), logical_size(code)) << picture_name(code);
        EXPECT_EQ(sharp.size(), logical_size(code) * 2) << picture_name(code);
    }
}

TEST(GeneratedPictures, NamesByCode) {
    const std::pair<int, const char*> table[] = {
        {0, "KARA_MASU"}, {1, "TITLE_GA"}, {4, "HAIKEI_TAKE"}, {10, "UE_HU_0"}, {11, "UE_HU_1"},
        {-21, "SITA_KYOU_1"}, {50, "UE_KIN"}, {-50, "SITA_KIN"}, {71, "UE_SYA_1"}, {-80, "SITA_OU"},
        {51, ""}, {-81, ""}, {12, ""}, {7, ""}, {-1, ""}, {90, ""}, {5, "HAIKEI_UCHU"},
    };
    for (const auto& [code, name] : table) EXPECT_EQ(picture_name(code), name) << code;
}

// The piece's footprint: pixels that differ from the empty square.
struct Footprint {
    QImage piece, empty;
    bool at(int x, int y) const { return piece.pixel(x, y) != empty.pixel(x, y); }
    // Leftmost and rightmost covered column of row y, or -1.
    int left(int y) const {
        for (int x = 0; x < piece.width(); ++x)
            if (at(x, y)) return x;
        return -1;
    }
    int right(int y) const {
        for (int x = piece.width() - 1; x >= 0; --x)
            if (at(x, y)) return x;
        return -1;
    }
};

TEST(GeneratedPictures, PiecesPointTowardTheOpponent) {
    const QImage empty = load(0);
    for (const int code : PICTURE_CODES) {
        if (code >= 0 && code <= 6) continue;
        const Footprint f{load(code), empty};
        const int mid = PIECE_H / 2, near_top = 6, near_bottom = PIECE_H - 7;
        // The point is the furthest part of the piece, at mid height.
        if (code > 0) {
            EXPECT_GT(f.right(mid), f.right(near_top) + 4) << code;
            EXPECT_GT(f.right(mid), f.right(near_bottom) + 4) << code;
            EXPECT_LE(std::abs(f.left(near_top) - f.left(mid)), 1) << code << ": back edge is straight";
        } else {
            EXPECT_LT(f.left(mid), f.left(near_top) - 4) << code;
            EXPECT_LT(f.left(mid), f.left(near_bottom) - 4) << code;
            EXPECT_LE(std::abs(f.right(near_top) - f.right(mid)), 1) << code << ": back edge is straight";
        }
    }
}

int red_ink_pixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90) ++n;
        }
    return n;
}

int dark_ink_pixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) < 70 && qGreen(p) < 70 && qBlue(p) < 70) ++n;
        }
    return n;
}

TEST(GeneratedPictures, PromotedKindsInRedInkPlainOnesInBlack) {
    for (const int code : PICTURE_CODES) {
        if (code >= 0 && code <= 6) continue;
        const QImage img = load(code);
        const bool promoted = std::abs(code) % 10 == 1;
        if (promoted) {
            EXPECT_GT(red_ink_pixels(img), 25) << code;
            EXPECT_LT(dark_ink_pixels(img), 5) << code;
        } else {
            EXPECT_GT(dark_ink_pixels(img), 25) << code;
            EXPECT_EQ(red_ink_pixels(img), 0) << code;
        }
    }
}

TEST(GeneratedPictures, PiecesOfOneKindDifferOnlyInFacing) {
    // The ink is never mirrored: an upper and a lower piece of one kind carry
    // the same amount of ink.
    for (const int code : PICTURE_CODES) {
        if (code < 10) continue;
        const int up = dark_ink_pixels(load(code)) + red_ink_pixels(load(code));
        const int down = dark_ink_pixels(load(-code)) + red_ink_pixels(load(-code));
        EXPECT_NEAR(up, down, up / 5 + 3) << code;
    }
}

double channel_gap(QRgb a, QRgb b) {
    return (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b))) / 3.0;
}

// Tiles are laid every 41 x 33 pixels; the 34th row lies under the next tile.
TEST(GeneratedPictures, BackgroundTilesRepeatWithoutSeams) {
    for (int code = 2; code <= 6; ++code) {
        const QImage t = load(code);
        const int period_h = TILE_H - 1;
        // The hidden last row continues the pattern: it is the first row again.
        double last_row = 0;
        for (int x = 0; x < TILE_W; ++x) last_row = std::max(last_row, channel_gap(t.pixel(x, period_h), t.pixel(x, 0)));
        EXPECT_LE(last_row, 2.0) << picture_name(code);

        // Across a seam neighbouring pixels differ no more than they do inside.
        auto mean_gap = [&](int x0, int y0, int dx, int dy, int n, bool along_x) {
            double sum = 0;
            for (int i = 0; i < n; ++i) {
                const int x = along_x ? x0 : i, y = along_x ? i : y0;
                sum += channel_gap(t.pixel(x, y), t.pixel((x + dx) % TILE_W, (y + dy) % period_h));
            }
            return sum / n;
        };
        // Compared with the sharpest edge inside the tile, since brick
        // courses and bamboo nodes have edges of their own.
        double inside_v = 0, inside_h = 0;
        for (int x = 0; x < TILE_W - 1; ++x) inside_v = std::max(inside_v, mean_gap(x, 0, 1, 0, period_h, true));
        for (int y = 0; y < period_h - 1; ++y) inside_h = std::max(inside_h, mean_gap(0, y, 0, 1, TILE_W, false));
        EXPECT_LE(mean_gap(TILE_W - 1, 0, 1, 0, period_h, true), 1.25 * inside_v + 4) << picture_name(code);
        EXPECT_LE(mean_gap(0, period_h - 1, 0, 1, TILE_W, false), 1.25 * inside_h + 4) << picture_name(code);
    }
}

TEST(GeneratedPictures, BackgroundsReadAsTheirNames) {
    auto mean = [](const QImage& img) {
        double r = 0, g = 0, b = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                r += qRed(p), g += qGreen(p), b += qBlue(p);
            }
        const double n = img.width() * img.height();
        return std::array<double, 3>{r / n, g / n, b / n};
    };
    const auto green = mean(load(2)), tatami = mean(load(3)), bamboo = mean(load(4));
    const auto space = mean(load(5)), brick = mean(load(6));
    EXPECT_GT(green[1], 1.5 * green[0]);
    EXPECT_GT(green[1], 1.5 * green[2]);
    EXPECT_GT(tatami[0] + tatami[1], 3 * tatami[2]) << "straw yellow";
    EXPECT_GT(bamboo[1], bamboo[0]);
    EXPECT_LT(space[0] + space[1] + space[2], 3 * 60) << "dark";
    EXPECT_GT(space[2], space[1]) << "blue-black";
    EXPECT_GT(brick[0], 1.4 * brick[1]) << "red";
}

TEST(PictureLoading, MissingFileIsNamed) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    for (const int code : PICTURE_CODES) {
        if (code == -60) continue;
        const QString name = QString::fromStdString(picture_name(code)) + ".png";
        ASSERT_TRUE(QFile::copy(QDir(PICTURES).filePath(name), QDir(tmp.path()).filePath(name)));
    }
    PictureSet set;
    EXPECT_EQ(set.load(tmp.path(), 1.0), QDir(tmp.path()).filePath("SITA_KAKU_0.png"));
    EXPECT_EQ(set.find(0), nullptr) << "a failed load keeps nothing half-loaded";

    // Only the plain sizes there: a high-density screen takes them.
    QFile::copy(QDir(PICTURES).filePath("SITA_KAKU_0.png"), QDir(tmp.path()).filePath("SITA_KAKU_0.png"));
    EXPECT_EQ(set.load(tmp.path(), 2.0), QString());
    ASSERT_NE(set.find(-60), nullptr);
    EXPECT_EQ(set.find(-60)->size(), QSize(PIECE_W, PIECE_H));
    EXPECT_EQ(set.find(51), nullptr);
}

TEST(PictureLoading, HighDensityScreensGetTheSharpSet) {
    PictureSet set;
    ASSERT_EQ(set.load(PICTURES, 2.0), QString());
    const QImage* king = set.find(80);
    ASSERT_NE(king, nullptr);
    EXPECT_EQ(king->size(), QSize(PIECE_W * 2, PIECE_H * 2));
    EXPECT_EQ(king->devicePixelRatio(), 2.0);
}

TEST(DataFolder, BesideTheProgramThenInstalledShareFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QDir root(tmp.path());
    ASSERT_TRUE(root.mkpath("bin"));
    const QString bin = root.filePath("bin");
    // Neither: the folder beside the program, for the error message.
    EXPECT_EQ(find_data_folder(bin), QDir::cleanPath(root.filePath("bin/data")));
    ASSERT_TRUE(root.mkpath("share/zemtori/pictures"));
    EXPECT_EQ(find_data_folder(bin), QDir::cleanPath(root.filePath("share/zemtori")));
    ASSERT_TRUE(root.mkpath("bin/data/pictures"));
    EXPECT_EQ(find_data_folder(bin), QDir::cleanPath(root.filePath("bin/data")));
}

}  // namespace
}  // namespace zemtori
