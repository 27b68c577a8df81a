#pragma once

#include "settings/PlacedWindow.h"
#include "settings/SettingRanges.h"
#include "settings/Timeouts.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class FileLayer;
class IniDocument;

// Text helpers shared by every file format of the program.
// The text before the first delimiter, or the whole text when there is none; trimmed unless
// keepBlanks.
QString TextBefore(const QString &delimiter, const QString &text, bool keepBlanks = false);
// The text after the first delimiter, or the whole text when there is none; trimmed unless
// keepBlanks.
QString TextAfter(const QString &delimiter, const QString &text, bool keepBlanks = false);
// The text without the blanks (spaces only) at both ends; TABs and line ends stay.
QStringView TrimBlanks(QStringView text);
// Returns the first comma-separated field and leaves the rest in text.
QString TakeFirstField(QString &text);

// Whether a saved window place is one a window can have: sides of a sensible size, at most twice
// those of one of the screens (when they are known), coordinates within reach.
bool PlacementInRange(const Placement &placement, const QList<QRect> &screenAreas);

// The program's settings file and the INI files of its data folder.
//
// Files are plain INI: [Section] headers and key=value lines, no quoting, CR LF line ends.
// Sections and keys are matched without regard to case. A value reads back trimmed and cut to
// 399 characters. A file far larger than any settings file is not read at all.
//
// The settings file is changed in memory: WriteSetting keeps the value (reads see it at once)
// and tells the change listener, and Save writes every change in one step, on top of what the
// file holds then, so sections and keys the program does not know stay as they were. A save
// that fails leaves the old file untouched and keeps the changes for the next one.
class INIFILES {
public:
    INIFILES();
    ~INIFILES();
    INIFILES(const INIFILES &) = delete;
    INIFILES &operator=(const INIFILES &) = delete;

    // Program folder = the executable's folder; settings file = <folder>/<executable name>.ini.
    void SetProgramPaths(const QString &executablePath);
    const QString &ProgramFolder() const { return m_programFolder; }
    const QString &SettingsFile() const { return m_settingsFile; }

    QString ReadSetting(const QString &section, const QString &key, const QString &defaultValue) const;
    QString ReadSetting(const QString &section, const QString &key, int defaultValue) const;
    void WriteSetting(const QString &section, const QString &key, const QString &value);

    QString ReadSettingFrom(const QString &section, const QString &key, const QString &defaultValue,
                            const QString &path) const;
    bool WriteSettingTo(const QString &section, const QString &key, const QString &value, const QString &path);

    // Reads the section's values, each within its range (see SettingRanges.h); one outside it is
    // replaced by its default, in memory and at the next save, with a notice.
    void ReadTimeouts(Timeouts &timeouts);
    // A text value of the settings file that must pass valid: a present value that does not
    // gives the default and is replaced (see ReplaceOutOfRange).
    QString ReadValid(const QString &section, const QString &key, const QString &defaultValue,
                      bool (*valid)(const QString &));
    // A number of the settings file (numeric-prefix conversion; rounded to a whole number when
    // whole): a missing or empty key gives the default; a value outside min..max, or no number at
    // all, gives the default and is replaced (see ReplaceOutOfRange). False when replaced.
    bool ReadNumber(const QString &section, const QString &key, double min, double max, double defaultValue,
                    double &value, bool whole);

    // Opening the settings file at start, by the copy that holds the program folder: a file
    // that cannot be read as settings (lines that are neither sections, comments nor
    // key=value) is copied aside before anything is written over it, and a file far larger
    // than any settings file is moved aside unread. The notices say so.
    enum class FileState { Missing, Fine, DamagedKeptAside, TooLargeKeptAside, NotKeptAside };
    FileState OpenSettingsFile();
    static constexpr qint64 MaxFileBytes = 1024 * 1024;

    // The settings file's changes not yet saved, and the one write of them all.
    bool hasUnsavedChanges() const { return !m_changes.isEmpty(); }
    struct SaveResult {
        bool ok = true;
        // For a person, "" when saved: what could not be saved and why.
        QString error;
    };
    SaveResult Save();
    // The same through another file layer (tests make it fail at each step).
    SaveResult Save(FileLayer &layer);
    // Called after each change of a value in memory (the program saves a few seconds later).
    void setChangeListener(std::function<void()> listener) { m_changeListener = std::move(listener); }

    // Removes a key of the settings file (in memory, like WriteSetting).
    void RemoveSetting(const QString &section, const QString &key);
    // A value read from the settings file was outside its range: it is replaced by its default
    // (removed when the default is "none") and the notice names the key. Said once: the file
    // holds the default from the next save on.
    void ReplaceOutOfRange(const QString &section, const QString &key, const QString &found,
                           const std::optional<QString> &defaultValue);
    // What the user should read in the terminal view about the settings file since last asked.
    QStringList takeNotices();

    // Whether the window of this settings section was placed before (its "FC" key holds a
    // placement). Until then the program chooses where it first opens.
    bool hasSavedPlace(const QString &section) const;
    // The same, counting only a place whose title bar lies on one of these screen areas.
    bool hasSavedPlace(const QString &section, const QList<QRect> &screenAreas) const;
    // The restores put the window where it was saved, but only where its title bar can still
    // be taken on a connected screen (see TitleBarReachable): a place on a monitor that was
    // unplugged leaves the window where the program put it (its first spot), with the saved
    // size cut to that screen. They return whether the saved place was taken.
    bool RestoreWindowPlacement(PlacedWindow &window);
    void SaveWindowPlacement(PlacedWindow &window, bool hide);
    bool RestoreWindowTopLeft(PlacedWindow &window);
    void SaveWindowTopLeft(PlacedWindow &window, bool hide);
    bool RestoreRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow);
    void SaveRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow);

    static constexpr int MaxValueLength = 399;

private:
    struct CachedFile;
    const IniDocument &load(const QString &path) const;
    std::optional<Placement> savedPlacement(const QString &section) const;
    bool restorePlacement(const QString &section, PlacedWindow &window);
    void savePlacement(const QString &section, PlacedWindow &window);

    struct Change {
        QString section;
        QString key;
        std::optional<QString> value; // none: removed
    };
    QString asideName() const;
    // Size and time of the settings file, to know a copy kept aside is of this very file.
    QString fileStamp() const;
    static QString changeKey(const QString &section, const QString &key);
    void change(const QString &section, const QString &key, const std::optional<QString> &value);

    QString m_programFolder;
    QString m_settingsFile;
    // Changes of the settings file not yet saved, in the order made, one per key.
    QList<Change> m_changes;
    QHash<QString, qsizetype> m_changeIndex;
    std::function<void()> m_changeListener;
    QStringList m_notices;
    QString m_keptAside;
    // Parsed files by path, reused while the file on disk is unchanged: the skin's index file
    // alone is read key by key a couple of hundred times.
    mutable QHash<QString, std::shared_ptr<CachedFile>> m_cache;
};
