// The Qt tests need one QApplication for the whole run, created before any
// widget; this main replaces gtest's.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // No display and no sound card needed, also when run by hand.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
