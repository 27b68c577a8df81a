#pragma once

#include <QString>

// What a value of the settings file may hold. A value outside its range is not used: the
// reader takes the default instead, says so once in the terminal view, and the next save
// writes the default. The ranges are wide; they only keep out what no working set-up has
// (a poll 8 times a second, a window taller than any screen).
namespace SettingRange {

// [Timeouts]
constexpr double ConnectMin = 0.05; // seconds
constexpr double ConnectMax = 30;
constexpr double ReplyWaitMaxMin = 2.5; // seconds; the link never waits less than this anyway
constexpr double ReplyWaitMaxMax = 120;
constexpr double KeyTimeLimitMin = 0.5; // seconds a key press may wait to go to the radio
constexpr double KeyTimeLimitMax = 600;
constexpr int PollWhenOnMax = 600; // ticks of 100 ms: a poll at least once a minute
constexpr int PollWhenOffMax = 3000;
constexpr int CheckAllMax = 1000;          // polls between two full refreshes
constexpr int MacroStepIntervalMax = 1000; // ms
constexpr int MacroStepTimeoutMin = 10;    // ms
constexpr int MacroStepTimeoutMax = 30000;

// Window places ("FC", "TL"): a window smaller than this shows nothing useful; a size more than
// twice that of every connected screen, or any coordinate beyond this, is damage.
constexpr int WindowMinSide = 120;
constexpr int WindowMaxSide = 16384;
constexpr int CoordinateMax = 32767;

// [General]
constexpr int PortMin = 1;
constexpr int PortMax = 65535;
constexpr int HostMaxLength = 253;
constexpr int NameMaxLength = 100;

// A host name or an address the link can connect to: letters, digits, '.', '-', '_', and ':',
// '[' and ']' of IPv6 addresses; no blanks.
bool IsHostText(const QString &text);
// A port number: 1 to 65535, digits only.
bool IsPortText(const QString &text);
// A layout name: the base name of a file in the program folder (no folder separators, does not
// start with '.').
bool IsLayoutName(const QString &text);

} // namespace SettingRange
