#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <vector>

// One picture or label placed on an emulated screen.
struct ScreenItem {
    QString Picture; // overlay: picture name; label: text or token
    QString Top;     // number, or "T" + number (relative)
    QString Left;    // number, or "L" + number (relative)
    QString Caption; // overlay caption, compared with the current menu item; tooltip fallback
    QString Command; // radio command sent when clicked; also the tooltip
};

// One screen definition of the skin's screen file.
struct ScreenDef {
    QString Name;
    QString StatusSet;
    QString LabelSet;
    std::vector<ScreenItem> Overlays{ScreenItem{}};
    std::vector<ScreenItem> Labels{ScreenItem{}};
    QString Background;
    QString BackgroundTarget;
    QString BackgroundCommand;
    QString Redirect;
};

struct MenuTableEntry {
    QString Picture;
    QString Name;
    QString Extra;
};

struct StateTableEntry {
    QString Code;
    QString Name;
    QString Picture;
    QString PollLetters;
};

// The loaded skin: screen definitions plus the menu and screen indexes (numbers 0..100).
struct SkinTables {
    static constexpr int TableSize = 101;

    std::vector<ScreenDef> MenuArray{ScreenDef{}};
    std::array<MenuTableEntry, TableSize> MenuTable{};
    std::array<StateTableEntry, TableSize> StateTable{};

    // The main-menu names for the information panel: list position = menu number, the empty
    // tail removed.
    QStringList MainMenuList;

    qint16 CurrentMenu = 0;
    qint16 CurrentStatusSet = 0;
    qint16 CurrentLabelSet = 0;
};
