#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// How a macro run ended.
enum class MacroOutcome {
    Finished,          // every step passed
    GaveUp,            // a step kept failing (its last, or too many restarts)
    Stopped,           // stopped on request
    RadioNotAnswering, // the radio went away, or a command never reached it
    Removed,           // a reload took the macro out of the macro file
};

// One compiled step of a macro. Which fields are set tells the runner what the step does: a
// command to send, a pause, or a test of what the radio reports; M and L lines only record
// their item or search text, for the step dump.
struct MacroStep {
    QString ListSearch;   // text from an L line written with double quotes
    QString MenuSearch;   // text from an M line written with double quotes
    QString BackupTo;     // decimal text of the step to go back to when this one keeps failing
    QString Test;         // condition of a "?" line, such as menustate=3
    qint16 MenuItem = -1; // item number of an M line
    qint16 ListItem = -1; // item number of an L line
    QString Commandx;     // command sent to the radio
    qint16 Delayx = -1;   // pause in milliseconds; -1 = no pause
    QString IncludedFrom; // the macro an I line copied this step from
    QString KeyText;      // typing steps: "CLEAR", or the character this step completes

    friend bool operator==(const MacroStep &, const MacroStep &) = default;
};

// One compiled macro. Steps is never empty.
struct MacroDef {
    QString Name;
    qint16 RestartCount = 0;  // restarts of the current run
    qint16 StepFailCount = 0; // failed checks of the current step
    std::vector<MacroStep> Steps{MacroStep{}};
};

// One row of the information panel's macro list: the name shown and the macro it starts.
struct MacroListEntry {
    QString Name;
    int MacroIndex = 0; // index into MacroTable::Macros; always within the table

    friend bool operator==(const MacroListEntry &, const MacroListEntry &) = default;
};

// The contents of the information panel's macro list; the panel renders it.
struct MacroList {
    std::vector<MacroListEntry> Entries;
    int Selected = -1; // row in Entries, -1 = none
};

// The macro table, rebuilt wholesale from the macro file by LoadMacros. A macro's index is its
// identity for the list and the runner; names need not be unique (lookups take the first).
struct MacroTable {
    // Macro and step indexes are 16-bit numbers for the runner, so a file cannot make more;
    // and however a small file includes macros into each other, the table stays a few tens of
    // megabytes (a step takes about 200 bytes): real macro files hold a few hundred steps.
    static constexpr int MaxMacros = 32767;
    static constexpr int MaxStepsPerMacro = 32767;
    static constexpr int MaxSteps = 1 << 16;

    std::vector<MacroDef> Macros{MacroDef{}};
    // What the compiler could not read, one entry per line of the file: "macros.txt line 12:
    // ..." and what was wrong. The macros are compiled as ever; these say where they may not do
    // what their author meant.
    QStringList Problems;
    // Macros whose name begins with "!" are listed only while this is set; they can always be
    // included.
    bool ShowHiddenMacros = false;
    MacroList List;
};
