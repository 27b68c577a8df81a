#include "session/LinkHealthLook.h"

#include "session/RadioView.h"
#include "session/StatusDecoding.h"

#include <algorithm>
#include <cmath>

LinkHealthLook LinkHealthLookOf(const RadioView &view) {
    LinkHealthLook look;
    const QString waiting = view.waitingText();
    look.health = LinkHealthOf(view);
    if (look.health == LinkHealth::Offline) {
        look.text = QStringLiteral("Radio offline since ") + view.OfflineSince;
        look.shortText = QStringLiteral("Offline");
        if (!view.OfflineReason.isEmpty()) {
            look.text += QStringLiteral(": ") + view.OfflineReason;
        }
        look.toolTip =
            look.text + QStringLiteral(". ") +
            (view.ConnectProblem.isEmpty() ? QStringLiteral("The radio at %1 does not answer").arg(view.RadioAddress)
                                           : view.ConnectProblem);
    } else if (look.health == LinkHealth::Answers) {
        look.text = QStringLiteral("Radio answers");
        look.shortText = QStringLiteral("Answers");
        look.toolTip = view.LinkHealth + QStringLiteral(" at ") + view.RadioAddress;
    } else {
        look.text = QStringLiteral("Connecting to %1…").arg(view.RadioAddress);
        look.shortText = QStringLiteral("Connecting…");
        look.toolTip = QStringLiteral("No answer from the radio at %1 yet").arg(view.RadioAddress);
        if (!view.ConnectProblem.isEmpty()) {
            look.toolTip += QStringLiteral(". ") + view.ConnectProblem;
        }
    }
    if (!waiting.isEmpty()) {
        look.toolTip += QStringLiteral("; ") + waiting;
    }
    return look;
}

LinkHealthColours LinkHealthColoursOn(LinkHealth health, const QColor &background) {
    struct Shades {
        QColor mark;
        QColor onLight; // the words on a light background
        QColor onDark;  // on a dark one
    };
    static const Shades green{QColor(0x2f, 0xa8, 0x4f), QColor(0x1a, 0x6b, 0x2b), QColor(0x7d, 0xdc, 0x8c)};
    static const Shades amber{QColor(0xf0, 0xa3, 0x0a), QColor(0x85, 0x4d, 0x00), QColor(0xff, 0xc4, 0x6b)};
    static const Shades red{QColor(0xd9, 0x30, 0x25), QColor(0xa8, 0x1f, 0x17), QColor(0xff, 0x8a, 0x80)};
    const Shades &shades = health == LinkHealth::Answers ? green : health == LinkHealth::Offline ? red : amber;
    const bool dark = ContrastRatio(background, Qt::white) > ContrastRatio(background, Qt::black);
    // A background between light and dark (a grey theme) may leave neither shade readable: the
    // words then go towards black or white as far as it takes.
    return {shades.mark, ReadableOn(dark ? shades.onDark : shades.onLight, background)};
}
