// The generated pictures as the window loads them: every file there at its
// exact size, pieces facing the opponent, promoted ink in red, tiles without
// seams; and how the window finds and reports its data folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "art/picture_names.h"
#include "port/geometry.h"
#include "qt/data_folder.h"
#include "qt/picture_set.h"

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

// Pictures are drawn with their alpha.  Every picture but the title covers
// its whole rectangle; the title's plate stops short of grid row 2 (the move
// text repaints that row's background), and its last rows are clear.
TEST(GeneratedPictures, OnlyTheTitleHasClearPixelsAndOnlyBelowItsPlate) {
    const int title_top = to_pixels(grid_y(-0.2)), row2 = to_pixels(grid_y(2));
    for (const int code : PICTURE_CODES)
        for (const int scale : {1, 2}) {
            const QString name = QString::fromStdString(picture_name(code)) + (scale == 1 ? ".png" : "@2x.png");
            const QImage img = QImage(QDir(PICTURES).filePath(name)).convertToFormat(QImage::Format_ARGB32);
            ASSERT_FALSE(img.isNull()) << name.toStdString();
            const int clear_from = code == 1 ? (row2 - title_top) * scale : img.height();
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const int alpha = qAlpha(img.pixel(x, y));
                    ASSERT_EQ(alpha, y < clear_from ? 255 : 0) << name.toStdString() << " at " << x << "," << y;
                }
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

// A data folder of links to the generated pictures; a test damages it by
// putting files of its own in place of links.
struct PictureFolder {
    QTemporaryDir tmp;
    PictureFolder() {
        for (const QString& name : QDir(PICTURES).entryList({QStringLiteral("*.png")}, QDir::Files))
            QFile::link(QDir(PICTURES).filePath(name), path(name));
    }
    QString path(const QString& name) const { return QDir(tmp.path()).filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        QFile::remove(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void write_image(const QString& name, QSize size) const {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::white);
        QFile::remove(path(name));
        ASSERT_TRUE(img.save(path(name), "PNG"));
    }
    QByteArray bytes(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST(PictureLoading, EachDamagedFileIsNamedWithWhatIsWrong) {
    using Kind = PictureProblem::Kind;
    struct Case {
        const char* what;
        const char* file;
        qreal ratio;
        std::function<void(PictureFolder&)> damage;
        Kind kind;
        const char* detail_has;  // a piece of the box's detail line
    };
    const Case cases[] = {
        {"missing", "SITA_KAKU_0.png", 1.0, [](PictureFolder& f) { QFile::remove(f.path("SITA_KAKU_0.png")); },
         Kind::Missing, ""},
        {"cut in half", "UE_HU_0.png", 1.0,
         [](PictureFolder& f) { const QByteArray b = f.bytes("UE_HU_0.png"); f.write("UE_HU_0.png", b.left(b.size() / 2)); },
         Kind::Damaged, "PNG"},
        {"text, not a picture", "KARA_MASU.png", 1.0,
         [](PictureFolder& f) { f.write("KARA_MASU.png", QByteArray(300, 'x')); }, Kind::Damaged, "PNG"},
        {"empty", "TITLE_GA.png", 1.0, [](PictureFolder& f) { f.write("TITLE_GA.png", {}); }, Kind::Damaged, ""},
        {"a folder in its place", "UE_OU.png", 1.0,
         [](PictureFolder& f) { QFile::remove(f.path("UE_OU.png")); QDir().mkpath(f.path("UE_OU.png")); },
         Kind::Unreadable, "ファイルではありません"},
        {"a 1 x 1 empty square", "KARA_MASU.png", 1.0,
         [](PictureFolder& f) { f.write_image("KARA_MASU.png", {1, 1}); }, Kind::WrongSize, "1 × 1 ピクセルですが、41 × 33"},
        {"a 3000 x 3000 background", "HAIKEI_MIDORI.png", 1.0,
         [](PictureFolder& f) { f.write_image("HAIKEI_MIDORI.png", {3000, 3000}); }, Kind::WrongSize,
         "3000 × 3000 ピクセルですが、41 × 34"},
        {"a plain-size picture in the double-size set", "SITA_KIN@2x.png", 2.0,
         [](PictureFolder& f) { f.write("SITA_KIN@2x.png", f.bytes("SITA_KIN.png")); }, Kind::WrongSize,
         "41 × 33 ピクセルですが、82 × 66"},
        {"a double-size picture in the plain set", "UE_KEI_1.png", 1.0,
         [](PictureFolder& f) { f.write("UE_KEI_1.png", f.bytes("UE_KEI_1@2x.png")); }, Kind::WrongSize,
         "82 × 66 ピクセルですが、41 × 33"},
    };
    for (const Case& c : cases) {
        PictureFolder folder;
        ASSERT_TRUE(folder.tmp.isValid());
        c.damage(folder);
        PictureSet set;
        const PictureProblem p = set.load(folder.tmp.path(), c.ratio);
        EXPECT_EQ(p.kind, c.kind) << c.what;
        EXPECT_EQ(p.file, folder.path(c.file)) << c.what;
        EXPECT_TRUE(p.detail.contains(QString::fromUtf8(c.detail_has))) << c.what << ": " << p.detail.toStdString();
        // The box names the file on a line of its own.
        EXPECT_TRUE(p.message().split('\n').contains(QDir::toNativeSeparators(folder.path(c.file)))) << c.what;
        EXPECT_EQ(set.find(0), nullptr) << c.what << ": a failed load keeps nothing half-loaded";
    }
}

// The pictures are decoded several at a time; what they load to, and which
// of several bad files is named, must not depend on which finishes first.
TEST(PictureLoading, SeveralBadFilesNameTheFirstInTheListEveryTime) {
    PictureFolder folder;
    QFile::remove(folder.path("SITA_OU.png"));                        // code -80, last in the list
    folder.write_image("UE_SYA_0.png", {5, 5});                        // code 70
    folder.write("UE_KAKU_0.png", "not a picture");                   // code 60
    folder.write("HAIKEI_TAKE.png", folder.bytes("HAIKEI_TAKE.png").left(200));  // code 4, the first bad one
    for (int round = 0; round < 20; ++round) {
        PictureSet set;
        const PictureProblem p = set.load(folder.tmp.path(), 1.0);
        ASSERT_EQ(p.kind, PictureProblem::Kind::Damaged) << "round " << round;
        ASSERT_EQ(p.file, folder.path("HAIKEI_TAKE.png")) << "round " << round;
        ASSERT_EQ(set.find(0), nullptr);
    }
}

TEST(PictureLoading, EveryPictureLoadsAsItsFileDecodedAlone) {
    for (const qreal ratio : {1.0, 2.0}) {
        PictureSet set;
        ASSERT_TRUE(set.load(PICTURES, ratio).ok());
        for (const int code : PICTURE_CODES) {
            const QImage* got = set.find(code);
            ASSERT_NE(got, nullptr) << "code " << code;
            const QImage file = QImage(QDir(PICTURES).filePath(QString::fromStdString(picture_name(code)) +
                                                                (ratio > 1 ? "@2x.png" : ".png")));
            // Pictures with an alpha channel are kept premultiplied, opaque ones as plain RGB.
            const QImage::Format format =
                file.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
            QImage want = file.convertToFormat(format);
            want.setDevicePixelRatio(ratio);
            EXPECT_EQ(got->format(), format) << "code " << code;
            EXPECT_EQ(got->devicePixelRatio(), ratio) << "code " << code;
            EXPECT_TRUE(*got == want) << "code " << code << " at ratio " << ratio;
        }
    }
}

TEST(PictureLoading, BoxTextSaysWhatIsWrongFirst) {
    using Kind = PictureProblem::Kind;
    EXPECT_EQ(PictureProblem({Kind::Missing, "/d/UE_OU.png", {}}).message().toStdString(),
              "画像ファイルが見つかりません。\n/d/UE_OU.png");
    EXPECT_EQ(PictureProblem({Kind::WrongSize, "/d/KARA_MASU.png", "1 × 1"}).message().toStdString(),
              "画像ファイルの大きさが違います。\n/d/KARA_MASU.png\n1 × 1");
    EXPECT_TRUE(PictureProblem{}.message().isEmpty());
}

TEST(PictureLoading, HighDensityScreensFallBackToThePlainSizeWhereNoDoubleSizeExists) {
    PictureFolder folder;
    for (const QString& name : QDir(folder.tmp.path()).entryList({QStringLiteral("*@2x.png")}))
        QFile::remove(folder.path(name));
    PictureSet set;
    EXPECT_TRUE(set.load(folder.tmp.path(), 2.0).ok());
    ASSERT_NE(set.find(-60), nullptr);
    EXPECT_EQ(set.find(-60)->size(), QSize(PIECE_W, PIECE_H));
    EXPECT_EQ(set.find(51), nullptr);
    // A plain screen never reads the double-size set, damaged or not.
    folder.write("UE_OU@2x.png", "broken");
    EXPECT_TRUE(set.load(folder.tmp.path(), 1.0).ok());
}

TEST(PictureLoading, HighDensityScreensGetTheSharpSet) {
    PictureSet set;
    ASSERT_TRUE(set.load(PICTURES, 2.0).ok());
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

TEST(DataFolder, ProgramIconFromTheSmallestToTheLargestSize) {
    const QIcon icon = program_icon(ZEMTORI_TEST_DATA_DIR);
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    QTemporaryDir empty;
    EXPECT_TRUE(program_icon(empty.path()).isNull());
}

// Installed, the icon lives once, in the icon theme beside the data folder.
TEST(DataFolder, InstalledProgramFindsItsIconInTheIconTheme) {
    QTemporaryDir root;
    const QDir share(root.filePath("share"));
    ASSERT_TRUE(share.mkpath("zemtori/pictures"));
    const QString data = share.filePath("zemtori");
    EXPECT_TRUE(program_icon(data, "org.example.zemtori").isNull());
    for (const int size : {16, 48}) {
        const QString apps = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        ASSERT_TRUE(share.mkpath(apps));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/icons/zemtori_%1.png").arg(size),
                                share.filePath(apps + "/org.example.zemtori.png")));
    }
    const QList<QSize> sizes = program_icon(data, "org.example.zemtori").availableSizes();
    EXPECT_EQ(sizes.size(), 2);
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(program_icon(data, "org.example.other").isNull());
}

}  // namespace
}  // namespace zemtori
