// The drawing tests need the toolkit's GUI application (pixmaps, painters);
// Qt's offscreen platform stands in for a display.

#include <gtest/gtest.h>
#include <QGuiApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
