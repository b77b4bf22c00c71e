// The record-file controls in the real window: saving a game with names
// typed into the save panel, and reading it back by a click in the file list.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <fstream>
#include <string>
#include <vector>

#include "app/game_wiring.h"
#include "display/geometry.h"
#include "platform/qt/canvas.h"
#include "platform/qt/main_window.h"
#include "platform/qt/record_controls.h"
#include "play/game.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

class RecordFilesInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        window.end_hook = [] {};
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")), QString());
        connect_game(window, game);
        game.load();
        window.show();
        QCoreApplication::processEvents();
        controls = window.record_controls();
    }
    void TearDown() override { disconnect_game(window); }

    // Answers every message box from now on with OK (or Yes), noting its text.
    void answer_boxes() {
        auto* poll = new QTimer(&window);
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == last_box) return;
            last_box = box;
            seen.push_back(box->text().toStdString());
            box->button(box->standardButtons() & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok)->click();
        });
        poll->start();
    }

    void click_square(int x, int y) {
        const QPointF at(to_pixels(grid_x(y + 0.5)), to_pixels(grid_y(x + 0.5)));
        QMouseEvent press(QEvent::MouseButtonPress, at, window.canvas()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.canvas(), &press);
    }

    void type(RecordText field, const QString& text) {
        QLineEdit* edit = controls->text_field(field);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QCoreApplication::sendEvent(edit, &key);
    }

    void click_list_item(QListWidget* list, QListWidgetItem* item) {
        const QPoint at = list->visualItemRect(item).center();
        for (const QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(list->viewport(), &e);
        }
    }

    QRgb pixel_inside(QWidget* w) const { return w->grab().toImage().pixel(w->width() - 4, w->height() - 4) | 0xff000000u; }

    QTemporaryDir folder;
    MainWindow window{menu_entries()};
    Game game{window, ZEMTORI_TEST_DATA_DIR};
    RecordControls* controls = nullptr;
    QPointer<QMessageBox> last_box;
    std::vector<std::string> seen;
};

TEST_F(RecordFilesInWindow, TheControlsStandHiddenAtTheirPlaces) {
    for (const RecordControl c : {RecordControl::DriveList, RecordControl::DirList, RecordControl::FileList,
                                  RecordControl::SavePanel})
        EXPECT_FALSE(window.record_control_visible(c));
    // Twips to pixels, 15 to one: Drive1 at 240, 360, 2535 x 300.
    EXPECT_EQ(controls->drive1()->geometry(), QRect(16, 24, 169, 20));
    EXPECT_EQ(controls->file1()->geometry(), QRect(16, 152, 169, 62));
    EXPECT_EQ(controls->text_field(RecordText::Text1)->geometry(), QRect(64, 208, 153, 18));
    EXPECT_EQ(controls->command1()->geometry(), QRect(224, 200, 57, 25));
    EXPECT_EQ(controls->command1()->text(), "RETURN");
    // The root volume comes first in the drive list.
    EXPECT_EQ(controls->drive1()->itemText(0), QStorageInfo::root().rootPath());
}

TEST_F(RecordFilesInWindow, SaveWithTypedNamesThenReadFromTheFileList) {
    answer_boxes();
    window.action("START")->trigger();
    click_square(9, 7);
    click_square(9, 6);
    click_square(1, 3);
    click_square(1, 4);
    ASSERT_EQ(game.kifu.KIFU_SAIGO, 1);
    ASSERT_TRUE(window.set_record_folder(RecordControl::DirList, folder.path().toStdString()));
    ASSERT_TRUE(window.set_record_folder(RecordControl::FileList, folder.path().toStdString()));

    window.action("KIFU_WRITE")->trigger();
    EXPECT_TRUE(window.record_control_visible(RecordControl::DriveList));
    EXPECT_TRUE(window.record_control_visible(RecordControl::DirList));
    EXPECT_FALSE(window.record_control_visible(RecordControl::FileList));
    EXPECT_TRUE(window.record_control_visible(RecordControl::SavePanel));
    EXPECT_EQ(pixel_inside(controls->dir1()), qRgb(255, 255, 192));
    type(RecordText::Text1, QStringLiteral("初局"));
    type(RecordText::Text2, QStringLiteral("対局"));
    type(RecordText::Text3, QStringLiteral("先手太郎"));
    type(RecordText::Text4, QStringLiteral("後手花子"));
    controls->command1()->click();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "棋譜を書き込みました");
    EXPECT_FALSE(window.record_control_visible(RecordControl::SavePanel));
    EXPECT_TRUE(controls->text_field(RecordText::Text3)->text().isEmpty());

    std::ifstream in(folder.filePath(QStringLiteral("初局.棋譜")).toStdString(), std::ios::binary);
    std::string title;
    std::getline(in, title);
    EXPECT_EQ(title, "\x91\xce\x8b\xc7\r");

    window.action("KIFU_READ")->trigger();
    ASSERT_TRUE(window.record_control_visible(RecordControl::FileList));
    ASSERT_EQ(controls->file1()->count(), 1);
    EXPECT_EQ(pixel_inside(controls->file1()), qRgb(255, 255, 192));
    seen.clear();
    click_list_item(controls->file1(), controls->file1()->item(0));
    EXPECT_EQ(seen, (std::vector<std::string>{" 読み込みました", "棋譜を '進 'で進めて下さい"}));
    EXPECT_FALSE(window.record_control_visible(RecordControl::FileList));
    EXPECT_EQ(game.turn.KIFU_MODE, 1);
    EXPECT_EQ(game.turn.TEBAN, 1);
    EXPECT_EQ(game.kifu.KIFU_SAIGO, 1);
    // The title is printed in light red under the board.
    const QImage& canvas = window.canvas_image();
    bool red = false;
    for (int x = 0; x < 400 && !red; ++x)
        for (int y = to_pixels(6350); y < to_pixels(6350) + 16 && !red; ++y)
            red = test::canvas_pixel(canvas, x, y) == test::palette_rgb(12);
    EXPECT_TRUE(red);
}

}  // namespace
}  // namespace zemtori
