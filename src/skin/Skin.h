#pragma once

#include "skin/SkinTables.h"

#include <QString>

class INIFILES;

// Loading and searching the display skin: the screen file (menus.txt) that describes every
// screen, and the index file (indexes.txt) that names the radio's menu items and screens.
//
// Both loaders rebuild their tables from scratch and never fail: a missing file gives empty
// tables, and any bytes at all give some table without crashing.
namespace Skin {

// The skin's files in the program folder, each with the "qx_" fallback.
QString ScreenFilePath(const QString &programFolder);
QString IndexFilePath(const QString &programFolder);

// The picture file for a picture name below the skin's folder: the name as given when that file
// exists, else with ".png", ".bmp", ".jpg" appended, in this order; "" when none exists (or the
// name is "").
QString PictureFile(const QString &folder, const QString &name);

// A definition index always fits a 16-bit counter, so the selection state can hold it; a screen
// file with more definitions, or a definition with more items, has the surplus dropped.
constexpr int MaxDefinitions = 32768;
constexpr int MaxItems = 32768;

} // namespace Skin

// Reads the screen file of the program folder and rebuilds skin.MenuArray.
void GetTheMenuArray(SkinTables &skin, const QString &programFolder);
// The same from text already read (CR LF separated lines).
void ParseScreenFile(SkinTables &skin, const QString &text);

// Reads the index file of the program folder through ini (which caches the parsed file),
// rebuilds MenuTable and StateTable and refills MainMenuList.
void GetTheIndexs(SkinTables &skin, const INIFILES &ini, const QString &programFolder);
// The same from a given index file path; "" gives empty tables.
void ReadIndexFile(SkinTables &skin, const INIFILES &ini, const QString &path);

// The first definition whose name equals name, ignoring case; -1 when none does.
int FindDefinition(const SkinTables &skin, const QString &name);
// FindDefinition, then one step along the found definition's Redirect (not further); -1 when
// either lookup fails. This is how a screen, a status set and a label set are found.
int FindScreen(const SkinTables &skin, const QString &name);

// The definition "StatusBar_" + setName (after one redirect), or -1. Sets CurrentStatusSet
// when found; leaves it unchanged otherwise.
int FindStatus(SkinTables &skin, const QString &setName);
// The definition "Labels_" + setName (after one redirect), or -1. Sets CurrentLabelSet when
// found; leaves it unchanged otherwise.
int FindLabels(SkinTables &skin, const QString &setName);

// The index entries for a menu item or screen number; nullptr outside 0..100, which is how a
// caller tells "the index has no entry for this number".
const MenuTableEntry *MenuEntryAt(const SkinTables &skin, int number);
const StateTableEntry *StateEntryAt(const SkinTables &skin, int number);
