#pragma once

#include "remote/LayoutEditor.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteForm.h"
#include "settings/WidgetPlacement.h"

class INIFILES;
class Platform;
struct RemoteLayout;

// The remote window with its logic, the layout editor whose boxes sit in the main window, and
// the window's place on the screen. Made loaded (its stored place, then the current layout)
// with its requests going to actions, which must outlive it or be detached by close().
class RemoteWindow {
public:
    // mainWindow is what the first placement is judged against.
    RemoteWindow(Platform &platform, INIFILES &settings, RemoteLayout &layout, RemoteActions &actions,
                 const QWidget &mainWindow);
    ~RemoteWindow();
    RemoteWindow(const RemoteWindow &) = delete;
    RemoteWindow &operator=(const RemoteWindow &) = delete;

    // Shown in front, restored when it was minimised.
    void show();
    // After the layout loader ran: its picture ("" keeps the one shown), the marked command.
    void showLayout(const QString &picturePath);
    // The program's close: the window stores its placement and closes for good; its requests
    // go nowhere from now on.
    void close();

    RemoteControl &logic() { return m_control; }
    RemoteForm &form() { return m_form; }
    LayoutEditor &editor() { return m_editor; }
    // The window's placement, stored per layout by the layout loader.
    PlacedWindow &placement() { return m_placement; }

private:
    LayoutEditor m_editor;
    RemoteControl m_control;
    RemoteForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("RemoteForm")};
};
