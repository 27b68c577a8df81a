#include "settings/FramedPlacement.h"

#include "settings/FirstPlacement.h"
#include "settings/SideBySide.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// A window as an X11 window manager treats it. The program asks for a frame corner; until the
// manager has drawn the frame, Qt cannot tell where the client must go for the frame to land
// there, so the client goes where the program's guess of the frame puts it and the manager
// draws its own frame around that client: with a taller title bar than guessed the frame
// lands higher. Once the frame is known the corner asked for is where the frame lands.
class ManagedWindow final : public FramedWindow {
public:
    // refuses: the client will not be made smaller than this, whatever its form says.
    ManagedWindow(QSize client, QSize minimum, QSize refuses = {})
        : m_client(client)
        , m_minimum(minimum)
        , m_refuses(refuses) {}

    QSize clientSize() const override { return m_client; }
    QSize minimumClientSize() const override { return m_minimum.boundedTo(m_client); }
    bool isShown() const override { return m_shown; }
    std::optional<QMargins> reportedFrame() const override {
        return m_reported ? std::optional<QMargins>(m_real) : std::nullopt;
    }
    void setFrameGeometry(QPoint corner, QSize client, const QMargins &frame) override {
        ++placings;
        m_client = client.expandedTo(m_minimum).expandedTo(m_refuses);
        m_clientAt =
            m_reported ? corner + QPoint(m_real.left(), m_real.top()) : corner + QPoint(frame.left(), frame.top());
    }

    // The window manager maps the window and draws this frame around it.
    void map(const QMargins &real) {
        m_shown = true;
        m_real = real;
    }
    void report() { m_reported = true; }

    // What the user sees: the client with the manager's frame around it.
    QRect frame() const { return QRect(m_clientAt, m_client).marginsAdded(m_shown ? m_real : QMargins()); }

    int placings = 0;

private:
    QSize m_client;
    QSize m_minimum;
    QSize m_refuses;
    QPoint m_clientAt;
    QMargins m_real;
    bool m_shown = false;
    bool m_reported = false;
};

struct Screen {
    const char *name;
    QRect area;
};

// Frames like real window managers draw: thin borders, title bars of 20 to 30 pixels.
const QList<QMargins> Frames{{1, 20, 1, 1}, {1, 20, 1, 5}, {3, 24, 3, 3}, {5, 30, 5, 5}, {4, 28, 4, 4}};

// The windows that open at the first start, at their usual sizes and the smallest they work
// in: the main window, the remote, the information panel.
std::vector<std::unique_ptr<ManagedWindow>> startWindows() {
    std::vector<std::unique_ptr<ManagedWindow>> windows;
    windows.push_back(std::make_unique<ManagedWindow>(QSize(1140, 660), QSize(620, 460)));
    windows.push_back(std::make_unique<ManagedWindow>(QSize(280, 746), QSize(60, 120)));
    windows.push_back(std::make_unique<ManagedWindow>(QSize(535, 720), QSize(420, 540)));
    return windows;
}

} // namespace

// Whatever frame the window manager draws, once it has told it the three start windows lie
// wholly on the screen's area, title bars included, and side by side without overlapping
// where the screen is wide enough (1600 pixels and more; a 1366 pixel laptop may overlap).
// The areas include those of a 1920x1080 screen at scale 1.5 and a 3840x2160 screen at 2.
TEST(FramedPlacement, StartWindowsLieOnTheScreenWithTheFrameTheWindowManagerDraws) {
    const QList<Screen> screens{
        {"1366x768", QRect(0, 0, 1366, 768)},         {"1366x768 below a panel", QRect(0, 27, 1366, 741)},
        {"1600x1000", QRect(0, 0, 1600, 1000)},       {"1920x1080", QRect(0, 0, 1920, 1080)},
        {"1920x1080 at 1.5", QRect(0, 0, 1280, 720)}, {"3840x2160 at 2", QRect(0, 0, 1920, 1080)}};
    for (const Screen &screen : screens) {
        for (const QMargins &real : Frames) {
            SCOPED_TRACE(testing::Message() << screen.name << ", frame " << real.left() << "/" << real.top());
            FramePlacer placer;
            auto windows = startWindows();
            QList<FramedWindow *> group;
            for (auto &window : windows) {
                window->map(real);
                group << window.get();
            }
            placer.lineUp(screen.area, group, 8);
            for (auto &window : windows) {
                window->report();
                placer.frameReported(*window);
            }
            for (const auto &window : windows) {
                EXPECT_TRUE(screen.area.contains(window->frame())) << window->frame().top();
            }
            if (screen.area.width() >= 1600) {
                EXPECT_FALSE(windows[0]->frame().intersects(windows[1]->frame()));
                EXPECT_FALSE(windows[1]->frame().intersects(windows[2]->frame()));
                EXPECT_FALSE(windows[0]->frame().intersects(windows[2]->frame()));
            }
        }
    }
}

// A group is placed again only once every shown member has told its frame (one still hidden
// keeps the guess), and not at all when the guess was right.
TEST(FramedPlacement, AGroupWaitsForEveryShownFrameAndStaysWhenTheGuessWasRight) {
    const QMargins real{1, 22, 1, 3};
    FramePlacer placer;
    auto windows = startWindows();
    windows[0]->map(real);
    windows[1]->map(real);
    placer.lineUp(QRect(0, 0, 1600, 1000), {windows[0].get(), windows[1].get(), windows[2].get()}, 8);
    windows[0]->report();
    placer.frameReported(*windows[0]);
    EXPECT_EQ(windows[1]->placings, 1);
    windows[1]->report();
    placer.frameReported(*windows[1]);
    EXPECT_EQ(windows[1]->placings, 2);
    EXPECT_EQ(windows[0]->frame().top(), windows[1]->frame().top());
    // Once placed with the real frames the group is done: a late report moves nothing.
    windows[2]->map(real);
    windows[2]->report();
    placer.frameReported(*windows[2]);
    EXPECT_EQ(windows[2]->placings, 2);

    // A later start on the same window manager guesses from the frame reported last.
    auto again = startWindows();
    for (auto &window : again) {
        window->map(real);
    }
    placer.lineUp(QRect(0, 0, 1600, 1000), {again[0].get(), again[1].get(), again[2].get()}, 8);
    for (auto &window : again) {
        window->report();
        placer.frameReported(*window);
        EXPECT_EQ(window->placings, 1);
    }
}

// A window opened later goes where its rule says for the real frame: a title bar taller than
// guessed would otherwise push it over the bottom edge. One the user has placed meanwhile
// (its saved place restored) stays where the user put it.
TEST(FramedPlacement, ALaterWindowIsPlacedAgainWithItsRealFrameUnlessTheUserPlacedIt) {
    const QRect area(0, 0, 1366, 768);
    const QList<QRect> open{QRect(0, 0, 700, 700)};
    for (const QMargins &real : {QMargins(1, 20, 1, 1), QMargins(5, 30, 5, 5)}) {
        FramePlacer placer;
        ManagedWindow display(QSize(320, 720), QSize(320, 720));
        display.map(real);
        placer.place(display, [&](QSize frame) { return LeastCoveredSpot(area, frame, open, QPoint(708, 0)); });
        display.report();
        placer.frameReported(display);
        EXPECT_TRUE(area.contains(display.frame())) << display.frame().bottom();
        EXPECT_FALSE(display.frame().intersects(open.first()));

        ManagedWindow console(QSize(600, 400), QSize(200, 100));
        console.map(real);
        placer.place(console, [&](QSize frame) { return MovedInto(area, QRect(QPoint(900, 500), frame)).topLeft(); });
        placer.forget(console);
        const QRect before = console.frame();
        console.report();
        placer.frameReported(console);
        EXPECT_EQ(console.frame(), before);
    }
}

// A window that will not shrink as far as it said it could (a main window's menu bar and
// status bar count on top of its form) is moved back up: the bottom may not fit, the title bar
// must.
TEST(FramedPlacement, AWindowThatWillNotShrinkKeepsItsTitleBarOnTheScreen) {
    const QRect area(0, 0, 1366, 768);
    for (const QSize refuses : {QSize(1048, 740), QSize(1048, 800)}) {
        FramePlacer placer;
        ManagedWindow main(QSize(1140, 700), QSize(600, 450), refuses);
        main.map({1, 20, 1, 5});
        placer.lineUp(area, {&main}, 8);
        main.report();
        placer.frameReported(main);
        EXPECT_LE(main.frame().top(), 3);
        EXPECT_EQ(area.contains(main.frame()), refuses.height() + 25 <= area.height());
    }
}
