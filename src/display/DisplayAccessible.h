#pragma once

#include <QString>

#include <functional>

class DisplayControl;
class QAccessibleEvent;
class QAccessibleInterface;
class QWidget;

// What a screen reader finds on the emulated screen: a pane named after the screen shown, with
// the objects ReadScreen gives as children (menu icons and keys as buttons, list rows with the
// selected one marked, the labels' texts, the offline notice). Pressing a button or a row
// clicks it.
QAccessibleInterface *NewDisplayScreenAccessible(QWidget &screen, DisplayControl &control);

// Tells screen readers what changed since the last call: the screen shown (its name) and the
// selected menu item or list row, which is announced as the new focus.
class DisplayAnnouncer {
public:
    // tell: where the events go; screen readers (QAccessible::updateAccessibility) by default.
    explicit DisplayAnnouncer(std::function<void(QAccessibleEvent &)> tell = {});
    void announce(QWidget &screen, DisplayControl &control);

private:
    QString m_title;
    std::function<void(QAccessibleEvent &)> m_tell;
    QString m_selected;
};
