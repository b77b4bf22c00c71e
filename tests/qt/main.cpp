// The Qt tests need one QApplication for the whole run, created before any
// widget; this main replaces gtest's.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstring>

#include "qt_test_support.h"
#include "settings_folder.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], zemtori::test::OPEN_SOUND_LIBRARY_ALONE) == 0)
        return zemtori::test::open_sound_library_alone();
    // No display and no sound card needed, also when run by hand.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    // A settings folder of the run's own, with the options the window tests
    // were written under (green, no guidance, no clock, no music).
    zemtori::test::SettingsFolder settings;
    settings.write_plain();
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(settings.dir.string()));
    // And a state folder of its own, for a test that starts the game as main() does.
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString((settings.dir / "state").string()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
