#pragma once

#include "main_window/ConfigForm.h"
#include "settings/WidgetPlacement.h"

class INIFILES;

// The main window and its place on the screen. Made placed (centred on the screen, a saved
// place wins), not yet shown. Unlike the other windows it outlives the program's
// close, which only stores its place: the program ends once it has closed.
class MainWindow {
public:
    MainWindow(CommandList &commands, INIFILES &settings);
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;

    void show() { m_form.show(); }
    // Another start of the program asked for it: in front, un-minimised, with the focus.
    void bringToFront() { BringToFront(m_form); }
    void savePlace();

    ConfigForm &form() { return m_form; }

private:
    INIFILES &m_ini;
    ConfigForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("ConfigForm")};
};
