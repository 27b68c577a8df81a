#pragma once

#include "display/DisplayControl.h"
#include "display/TestPictures.h"
#include "radio_link/AutomaticPoll.h"
#include "radio_link/LinkView.h"
#include "radio_link/MacroSwitch.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "settings/Timeouts.h"
#include "skin/Skin.h"
#include "support/FakePlatform.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

// A program folder with pictures made on the spot, a skin given as text and the display's
// logic on fake timers, with the queue it sends to.
struct DisplayFixture : ::testing::Test {
    QTemporaryDir folder;
    FakePlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    LinkView view;
    MacroSwitch macroRun;
    LinkHooks hooks = [this] {
        LinkHooks wired;
        wired.answerMacroQuestions(macroRun);
        return wired;
    }();
    Telnet telnet{platform, state, timeouts};
    LinkSettings settings;
    AutomaticPoll poll{platform, telnet, state, timeouts, settings};
    qint16 waitFrame = 0;
    std::unique_ptr<DisplayControl> display =
        std::make_unique<DisplayControl>(platform, skin, state, telnet, poll, view, hooks, folder.path(), waitFrame);

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
