#pragma once

#include <QString>
#include <QStringList>

// What the macro runner asks of the parts around it: the "Auto Refresh Labels" switch, the
// terminal, the information panel's list and pictures, the display's search box. The windows
// answer in the program; a session without windows answers from its own data; tests answer
// what they check. A runner asked to run with nobody to answer stops the program there
// (MacroRunner::setSurroundings), rather than running on answers nobody gave.
class MacroSurroundings {
public:
    // The "Auto Refresh Labels" switch: a run turns it on and puts it back at the end.
    virtual bool displayLabels() const = 0;
    virtual void setDisplayLabels(bool on) = 0;
    // The link has found the radio offline: its polls have failed for a while.
    virtual bool radioOffline() const = 0;
    // Empties the terminal when a run starts.
    virtual void clearTerminal() = 0;
    // The rows of the information panel's current list, as the last list reply filled them.
    virtual QStringList infoListRows() const = 0;
    // Selects a row of that list and opens it, which moves the radio's cursor there.
    virtual void selectInfoListRow(int row) = 0;
    // Shows or hides the information panel's macro list.
    virtual void showMacroList(bool visible) = 0;
    // Loads a skin picture into the panel's current-menu picture, and names the current menu.
    virtual void loadMenuPicture(const QString &picture) = 0;
    virtual void setCurrentMenuLabel(const QString &name) = 0;
    // The display's search box, which typing steps keep in step with the radio.
    virtual QString searchText() const = 0;
    virtual void setSearchText(const QString &text) = 0;

protected:
    ~MacroSurroundings() = default;
};
