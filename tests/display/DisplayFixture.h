#pragma once

#include "display/DisplayControl.h"
#include "display/TestPictures.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "session/MacroRunner.h"
#include "session/RadioSession.h"
#include "session/RadioView.h"
#include "skin/Skin.h"
#include "support/FakePlatform.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

// A program folder with pictures made on the spot, a skin given as text and the display's
// logic on a session on fake timers, with the queue it sends to.
struct DisplayFixture : ::testing::Test {
    QTemporaryDir folder;
    FakePlatform platform;
    RadioSession session{platform, folder.path()};
    RadioState &state = session.state();
    SkinTables &skin = session.skin();
    RadioView &view = session.view();
    Telnet &telnet = session.link().telnet;
    qint16 &waitFrame = session.waitFrame();
    std::unique_ptr<DisplayControl> display = std::make_unique<DisplayControl>(platform, session, folder.path());

    // A macro run as the display sees one: it types nothing while one goes on.
    void macroRuns(bool running) { session.macroRunner().CurrentMacro = running ? 0 : -1; }
    ScreenRenderer &screen() { return display->screen; }
    void picture(const QString &name, QSize size, QColor left, QColor right = QColor()) {
        ASSERT_TRUE(SavePicture(folder.filePath(name), size, left, right)) << name.toStdString();
    }
    // Lines separated by "|".
    void useSkin(QString lines) { ParseScreenFile(skin, lines.replace(u'|', QStringLiteral("\r\n"))); }
    QStringList queued() const { return telnet.toGo(); }
};

struct Pixel {
    int x;
    int y;
    QColor colour;
};

inline void ExpectPixels(const QImage &image, std::initializer_list<Pixel> pixels) {
    for (const Pixel &p : pixels) {
        EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
    }
}
