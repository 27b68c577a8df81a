#pragma once

class QWindow;

// The sizes of a top-level window with and without its frame, in pixels.
struct BorderSize {
    int outerWidth = 0;
    int outerHeight = 0;
    int innerWidth = 0;
    int innerHeight = 0;
    int borderWidth = 0;  // left and right frame, each
    int titleHeight = 0;  // frame above the client area (title bar included)
    int bottomHeight = 0; // frame below the client area
    bool failed = true;
};

BorderSize GetBorderSize(const QWindow *window);
