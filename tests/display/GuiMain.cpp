// The display's tests draw text, which needs a GUI application (headless here). It lives for
// the whole run and goes before the process ends, so the fonts it loaded are released.
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
