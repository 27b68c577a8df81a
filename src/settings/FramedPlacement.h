#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

// A top-level window as placing sees it: its client area, how small it may be made, and the
// frame (borders and title bar) the window manager draws around it. That frame is known only
// once the window is shown and the window manager has told it; until then placing works on a
// guess and places the window again when the real frame comes.
class FramedWindow {
public:
    virtual ~FramedWindow() = default;
    virtual QSize clientSize() const = 0;
    // The smallest client its form still works in; its client size when it cannot be resized.
    virtual QSize minimumClientSize() const = 0;
    virtual bool isShown() const = 0;
    // The frame as the window system reported it; nothing until it has.
    virtual std::optional<QMargins> reportedFrame() const = 0;
    // Puts the frame's top-left corner here (with the frame given: the real one once reported,
    // else the guess placing works on) and gives the client this size.
    virtual void setFrameGeometry(QPoint frameTopLeft, QSize client, const QMargins &frame) = 0;
};

// Places windows before the window manager has told their frames, and once more when it has,
// so the frame that lands on the screen is the one the rules were worked out for: a title bar
// that turns out taller than guessed must not push the window over the screen's edge, nor a
// wider border make two windows lined up side by side overlap.
class FramePlacer {
public:
    // Borders and a title bar like most window managers draw: the guess until one is reported.
    static constexpr QMargins DefaultGuess{4, 28, 4, 4};

    // The frame of this window: the reported one, else the last one any window reported (one
    // window manager draws them all alike), else the default guess.
    QMargins frameOf(const FramedWindow &window) const;

    // Lines up these windows side by side in the area (see LineUpInArea), each at the client
    // size it has now or smaller. Done again with the real frames once every one of them that
    // is shown has reported its own.
    void lineUp(const QRect &area, const QList<FramedWindow *> &windows, int gap);

    // Puts the window's frame at the corner the rule gives for a frame of that size. When the
    // frame reported differs from the one used, the rule is asked again.
    void place(FramedWindow &window, std::function<QPoint(QSize frame)> rule);

    // The window system has told this window's frame: windows placed on a guess go where their
    // rules want them with the real one.
    void frameReported(FramedWindow &window);

    // The window is going away, or the user has placed it: it is not placed again.
    void forget(FramedWindow &window);

private:
    struct Member {
        FramedWindow *window;
        QSize client;  // the client size asked for before any was cut to fit
        QMargins used; // the frame the last placing worked with
    };
    struct Group {
        QRect area;
        int gap = 0;
        QList<Member> members;
    };
    struct Single {
        Member member;
        std::function<QPoint(QSize)> rule;
    };

    void placeGroup(Group &group);
    void placeSingle(Single &single);

    std::optional<QMargins> m_lastReported;
    QList<Group> m_groups;
    QList<Single> m_singles;
};
