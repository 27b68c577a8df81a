#pragma once

#include "macros/MacroTable.h"

#include <QString>

// Rebuilds the macro table from <programFolder>/macros.txt (else qx_macros.txt) and refills the
// macro list. Without either file the table holds one empty macro and the list is emptied.
// Never fails: malformed lines give empty steps or none, and each is named in table.Problems.
void LoadMacros(MacroTable &table, const QString &programFolder);

// The same on the text of a macro file; fileName names it in the problems found.
void CompileMacros(MacroTable &table, const QString &fileText, const QString &fileName = QStringLiteral("macros.txt"));

// Refills the macro list from the table: every macro in table order, hidden ones only while
// ShowHiddenMacros is set. The selected row stays, or becomes the last row when the list got
// shorter.
void RefillMacroList(MacroTable &table);

// The right-click on the information panel's current-menu picture: with a modifier key held
// hidden macros are shown, without one they are hidden again; the table is reloaded when that
// changes what is shown (always when shown). The caller then makes the list visible.
void ShowOrHideHiddenMacros(MacroTable &table, bool modifierHeld, const QString &programFolder);

// Whether the line starts a macro: its first character that is neither a blank nor a TAB is
// "[". Both passes of the compiler use this one rule.
bool IsMacroHeader(const QString &line);
