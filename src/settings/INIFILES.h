#pragma once

#include "settings/PlacedWindow.h"
#include "settings/Timeouts.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>

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

// The program's settings file and the INI files of its data folder.
//
// Files are plain INI: [Section] headers and key=value lines, no quoting, CR LF line ends.
// Sections and keys are matched without regard to case. A value reads back trimmed and cut to
// 399 characters. Every write replaces the file in one step, so a crash or a full disk never
// leaves a truncated file; a write that cannot be made is lost silently and the program goes on.
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

    void ReadTimeouts(Timeouts &timeouts) const;

    // Whether the window of this settings section was placed before (its "FC" key holds a
    // placement). Until then the program chooses where it first opens.
    bool hasSavedPlace(const QString &section) const;
    // The same, counting only a place whose title bar lies on one of these screen areas.
    bool hasSavedPlace(const QString &section, const QList<QRect> &screenAreas) const;
    // The restores put the window where it was saved, but only where its title bar can still
    // be taken on a connected screen (see TitleBarReachable): a place on a monitor that was
    // unplugged leaves the window where the program put it (its first spot), with the saved
    // size cut to that screen. They return whether the saved place was taken.
    bool RestoreWindowPlacement(PlacedWindow &window) const;
    void SaveWindowPlacement(PlacedWindow &window, bool hide);
    bool RestoreWindowTopLeft(PlacedWindow &window) const;
    void SaveWindowTopLeft(PlacedWindow &window, bool hide);
    bool RestoreRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow) const;
    void SaveRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow);

    static constexpr int MaxValueLength = 399;

private:
    struct CachedFile;
    const IniDocument &load(const QString &path) const;
    std::optional<Placement> savedPlacement(const QString &section) const;
    bool restorePlacement(const QString &section, PlacedWindow &window) const;
    void savePlacement(const QString &section, PlacedWindow &window);

    QString m_programFolder;
    QString m_settingsFile;
    // Parsed files by path, reused while the file on disk is unchanged: the skin's index file
    // alone is read key by key a couple of hundred times.
    mutable QHash<QString, std::shared_ptr<CachedFile>> m_cache;
};
