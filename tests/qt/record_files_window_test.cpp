// The record-file controls in the real window: a game saved with names typed
// into the save panel, and read back by a click in the file list.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>

#include "app/game_wiring.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "qt/record_controls.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

void press(QWidget* w, QPoint at, bool release = false) {
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        if (type == QEvent::MouseButtonPress || release) QCoreApplication::sendEvent(w, &e);
    }
}

TEST(RecordFilesInWindow, SaveWithTypedNamesThenReadFromTheFileList) {
    QTemporaryDir folder;
    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
    connect_game(window, game);
    game.load();
    window.show();
    RecordControls& rc = *window.record_controls();
    // Hidden at their twip positions, 15 to a pixel; the root volume first.
    EXPECT_FALSE(window.record_control_visible(RecordControl::SavePanel));
    EXPECT_EQ(rc.drive1()->geometry(), QRect(16, 24, 169, 20));
    EXPECT_EQ(rc.command1()->geometry(), QRect(224, 200, 57, 25));
    EXPECT_EQ(rc.drive1()->itemText(0), QStorageInfo::root().rootPath());

    // Every message box is answered at once; its text is written down.
    test::OkToEveryBox boxes;
    std::vector<std::string>& seen = boxes.seen;
    window.action("START")->trigger();
    for (const auto& [x, y] : {std::pair{9, 7}, {9, 6}, {1, 3}, {1, 4}})
        press(window.canvas(), QPoint(to_pixels(grid_x(y + 0.5)), to_pixels(grid_y(x + 0.5))));
    ASSERT_EQ(game.view().kifu.kifu_saigo(), 2);  // both moves, the last one included
    ASSERT_TRUE(window.set_record_folder(RecordControl::FileList, folder.path().toStdString()));

    window.action("KIFU_WRITE")->trigger();
    EXPECT_TRUE(window.record_control_visible(RecordControl::DirList));
    EXPECT_TRUE(window.record_control_visible(RecordControl::SavePanel));
    const QImage dir_list = rc.dir1()->grab().toImage();
    EXPECT_EQ(dir_list.pixel(dir_list.width() - 4, dir_list.height() - 4) | 0xff000000u, qRgb(255, 255, 192));
    const std::pair<RecordText, const char*> typed[] = {
        {RecordText::Text1, "初局"}, {RecordText::Text2, "対局"}, {RecordText::Text4, "後手花子"}};
    for (const auto& [field, text] : typed) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(text));
        QCoreApplication::sendEvent(rc.text_field(field), &key);
    }
    rc.command1()->click();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "棋譜を書き込みました");
    QFile file(folder.filePath(QStringLiteral("初局.棋譜")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readLine().toStdString(), "\x91\xce\x8b\xc7\r\n");

    window.action("KIFU_READ")->trigger();
    ASSERT_EQ(rc.file1()->count(), 1);
    seen.clear();
    press(rc.file1()->viewport(), rc.file1()->visualItemRect(rc.file1()->item(0)).center(), true);
    // The game of two moves on the board gives way after a question, answered Yes.
    EXPECT_EQ(seen, (std::vector<std::string>{"対局中です。新しく始めますか？", " 読み込みました",
                                              "棋譜を '進 'で進めて下さい"}));
    EXPECT_FALSE(window.record_control_visible(RecordControl::FileList));
    EXPECT_EQ(game.view().kifu.kifu_mode(), 1);
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 2);
    disconnect_game(window);
}

// Choosing a drive complains only of a device that is not ready; a folder
// that is merely missing leaves the lists where they were, and the file list
// shows no hidden files.
TEST(RecordFilesInWindow, OnlyAnUnreadyDriveIsReportedAndHiddenFilesStayHidden) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"対局.棋譜", ".隠し.棋譜", "メモ.txt"}) {
        QFile f(folder.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
    connect_game(window, game);
    game.load();
    RecordControls& rc = *window.record_controls();
    ASSERT_TRUE(window.set_record_folder(RecordControl::FileList, folder.path().toStdString()));
    ASSERT_TRUE(window.set_record_folder(RecordControl::DirList, folder.path().toStdString()));
    ASSERT_EQ(rc.file1()->count(), 1);
    EXPECT_EQ(rc.file1()->item(0)->text(), QStringLiteral("対局.棋譜"));

    // A folder that is not there is no device failure: nothing moves.
    const std::string missing = folder.filePath(QStringLiteral("無い")).toStdString();
    EXPECT_TRUE(window.set_record_folder(RecordControl::DirList, missing));
    EXPECT_TRUE(window.set_record_folder(RecordControl::FileList, missing));
    EXPECT_EQ(window.record_selection(RecordControl::DirList), folder.path().toStdString());
    EXPECT_EQ(window.record_folder(), folder.path().toStdString());

    // A drive in the list whose medium is gone: its root is no longer a
    // mounted volume.
    std::vector<std::string> seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.push_back(box->text().toStdString() + "|" + box->windowTitle().toStdString());
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    window.action("KIFU_WRITE")->trigger();
    const QString gone = folder.filePath(QStringLiteral("usb"));
    ASSERT_TRUE(QDir().mkpath(gone));
    rc.drive1()->addItem(gone, gone);
    rc.drive1()->setCurrentIndex(rc.drive1()->count() - 1);
    emit rc.drive1()->activated(rc.drive1()->count() - 1);
    EXPECT_EQ(seen, std::vector<std::string>{"ﾃﾞﾊﾞｲｽが準備できていません|ｴﾗｰ"});
    EXPECT_EQ(window.record_selection(RecordControl::DirList), folder.path().toStdString());
    // The root volume is ready: no box, and the lists move there.
    seen.clear();
    rc.drive1()->setCurrentIndex(0);
    emit rc.drive1()->activated(0);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(window.record_selection(RecordControl::DirList), QStorageInfo::root().rootPath().toStdString());
    disconnect_game(window);
}

}  // namespace
}  // namespace zemtori
