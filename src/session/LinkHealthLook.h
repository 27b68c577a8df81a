#pragma once

#include "platform/Contrast.h"
#include "session/RadioStatus.h"

#include <QColor>
#include <QString>

class RadioView;

// Whether the radio answers, as every window shows it: a coloured mark and a few words, with the
// whole story in the tool tip. Decided here once, so the main window, the remote and the
// information panel cannot tell it differently; they only draw it.
struct LinkHealthLook {
    LinkHealth health = LinkHealth::NotYetAnswered;
    QString
        text; // "Radio answers", "Connecting to 127.0.0.1:8080…", "Radio offline since 05:37:29: connection refused"
    QString toolTip;   // the same with the last reply, the address, what went wrong and where to change it
    QString shortText; // for a narrow window: "Answers", "Connecting…", "Offline" (the tool tip says since when)
    bool operator==(const LinkHealthLook &) const = default;
};

LinkHealthLook LinkHealthLookOf(const RadioView &view);

// The colours to draw a look with on a window whose background is given: the mark (green,
// amber or red; decoration) and the words, which keep a contrast of at least 4.5:1 with the
// background on light and dark palettes alike.
struct LinkHealthColours {
    QColor mark;
    QColor words;
};
LinkHealthColours LinkHealthColoursOn(LinkHealth health, const QColor &background);
