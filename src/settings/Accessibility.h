#pragma once

#include <QRect>

class QAbstractScrollArea;
class QPainter;
class QPalette;

// Windows made of a plain widget (not a main window or a dialog) are windows to a screen
// reader, not a nameless "client" pane. Safe to call any number of times.
void InstallWindowRoles();

// The ring a control draws around itself while it has the keyboard's focus: two pixels of the
// palette's highlight, just inside the rectangle.
void DrawFocusRing(QPainter &painter, const QRect &around, const QPalette &palette);

// A list or text pane shows the focus ring around its frame while it has the focus, also when
// no row of it is current (the style then shows nothing).
void ShowFocusRing(QAbstractScrollArea &pane);
