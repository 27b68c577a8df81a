#pragma once

#include <QSize>
#include <QWidget>

// A size a test can give a window and expect back exactly: the one wanted, grown where the
// window's layout needs more. The layout's minimum follows the machine's fonts and, a little,
// what the window shows, so the margin keeps a later, fuller content from pushing it up again.
inline QSize RoomySize(const QWidget &window, QSize wanted) {
    constexpr int Margin = 150;
    return wanted.expandedTo(window.minimumSizeHint() + QSize(Margin, Margin));
}
