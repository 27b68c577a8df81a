#include "display/ScreenReading.h"

#include "keyboard/KeyMap.h"

namespace {

// A point of the item where the screen's hit test finds the item itself, scanning from its
// middle outwards in a coarse grid; none when others cover it all.
std::optional<QPoint> reachable(const ScreenRenderer &screen, const QRect &rect, ScreenRenderer::Hit::Kind kind,
                                int index) {
    const auto hits = [&](QPoint at) {
        const ScreenRenderer::Hit hit = screen.hitTest(at);
        return hit.kind == kind && hit.index == index;
    };
    if (hits(rect.center())) {
        return rect.center();
    }
    for (int y = rect.top(); y <= rect.bottom(); y += 2) {
        for (int x = rect.left(); x <= rect.right(); x += 2) {
            if (hits(QPoint(x, y))) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

} // namespace

QList<ScreenObject> ReadScreen(const ScreenRenderer &screen) {
    QList<ScreenObject> objects;
    if (const QString notLive = screen.notLiveText(); !notLive.isEmpty()) {
        objects << ScreenObject{ScreenObject::Notice,
                                notLive,
                                QStringLiteral("The radio does not answer"),
                                QRect(0, 0, ScreenRenderer::ScreenWidth, ScreenRenderer::ScreenHeight),
                                false,
                                {}};
    }
    for (std::size_t j = 0; j < screen.OverlayImages.size(); ++j) {
        const DrawnItem &icon = screen.OverlayImages[j];
        if (!icon.Visible || icon.Size.isEmpty()) {
            continue;
        }
        const QString caption = j < screen.OverlayNameLabel.size() ? screen.OverlayNameLabel[j].Text : QString();
        ScreenObject object;
        object.rect = icon.Rect();
        object.pressAt = reachable(screen, object.rect, ScreenRenderer::Hit::Overlay, int(j));
        if (!object.pressAt) {
            continue;
        }
        object.role = icon.PictureOnly || (icon.Command.isEmpty() && caption.isEmpty()) ? ScreenObject::Picture
                                                                                        : ScreenObject::Button;
        object.name = !caption.isEmpty()        ? caption
                      : !icon.Command.isEmpty() ? SpokenKeyName(icon.Command)
                                                : icon.ToolTip;
        object.description = icon.ToolTip;
        object.selected = j < screen.OverlayNameLabel.size() && !caption.isEmpty() &&
                          screen.OverlayNameLabel[j].Colour == ScreenRenderer::CurrentItemColour;
        if (object.role == ScreenObject::Picture) {
            object.pressAt.reset();
        }
        if (object.name.isEmpty()) {
            object.name = QStringLiteral("Picture");
        }
        objects << object;
    }
    for (std::size_t j = 0; j < screen.StatusImages.size(); ++j) {
        const DrawnItem &key = screen.StatusImages[j];
        if (!key.Visible || key.Size.isEmpty()) {
            continue;
        }
        ScreenObject object;
        object.rect = key.Rect();
        object.pressAt = reachable(screen, object.rect, ScreenRenderer::Hit::Status, int(j));
        if (!object.pressAt) {
            continue;
        }
        object.role = key.Command.isEmpty() ? ScreenObject::Picture : ScreenObject::Button;
        object.name = !key.Command.isEmpty() ? SpokenKeyName(key.Command) : key.ToolTip;
        if (object.name.isEmpty()) {
            object.name = QStringLiteral("Picture");
        }
        object.description = key.ToolTip;
        if (object.role == ScreenObject::Picture) {
            object.pressAt.reset();
        }
        objects << object;
    }
    for (std::size_t j = 0; j < screen.OverlayLabel.size(); ++j) {
        const DrawnItem &label = screen.OverlayLabel[j];
        if (!label.Visible || label.Text.trimmed().isEmpty()) {
            continue;
        }
        ScreenObject object;
        object.rect = label.Rect();
        object.name = label.Text.trimmed();
        object.description = label.ToolTip != label.Text ? label.ToolTip : QString();
        if (label.Row) {
            object.role = ScreenObject::ListRow;
            object.selected = label.Colour == ScreenRenderer::SelectedEntryColour;
            object.pressAt = reachable(screen, object.rect, ScreenRenderer::Hit::Label, int(j));
        }
        objects << object;
    }
    return objects;
}

QString ScreenTitle(const ScreenRenderer &screen, const QString &radioScreenName) {
    if (!radioScreenName.isEmpty()) {
        return radioScreenName;
    }
    const QLatin1StringView prefix = ScreenRenderer::CaptionPrefix;
    return screen.Caption.startsWith(prefix) ? screen.Caption.mid(prefix.size()) : screen.Caption;
}
