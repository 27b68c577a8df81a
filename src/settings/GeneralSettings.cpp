#include "settings/GeneralSettings.h"

#include "settings/INIFILES.h"

namespace {

const QString General = QStringLiteral("General");
const QString MainWindowSection = QStringLiteral("ConfigForm");

bool isFlag(const QString &text) {
    return text == u'0' || text == u'1';
}

void readFlag(INIFILES &ini, const QString &key, bool &flag, const QString &section = General) {
    flag = ini.ReadValid(section, key, flag ? QStringLiteral("1") : QStringLiteral("0"), isFlag) == u'1';
}

QString flagText(bool flag) {
    return flag ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

void ReadGeneralSettings(INIFILES &ini, GeneralSettings &s) {
    s.LastRemote = ini.ReadValid(General, QStringLiteral("LastRemote"), s.LastRemote, SettingRange::IsLayoutName);
    s.RaidoURL = ini.ReadValid(General, QStringLiteral("RaidoURL"), s.RaidoURL, SettingRange::IsHostText);
    s.RaidoPORT = ini.ReadValid(General, QStringLiteral("RaidoPORT"), s.RaidoPORT, SettingRange::IsPortText);
    readFlag(ini, QStringLiteral("KeepConnected"), s.KeepConnected);
    readFlag(ini, QStringLiteral("AutoRefresh"), s.AutoRefresh);
    readFlag(ini, QStringLiteral("Auto21Exit"), s.Auto21Exit);
    readFlag(ini, QStringLiteral("UnLock"), s.UnLock);
}

void WriteGeneralSettings(INIFILES &ini, const GeneralSettings &s) {
    ini.WriteSetting(General, QStringLiteral("LastRemote"), s.LastRemote);
    ini.WriteSetting(General, QStringLiteral("RaidoURL"), s.RaidoURL);
    ini.WriteSetting(General, QStringLiteral("RaidoPORT"), s.RaidoPORT);
    ini.WriteSetting(General, QStringLiteral("KeepConnected"), flagText(s.KeepConnected));
    ini.WriteSetting(General, QStringLiteral("AutoRefresh"), flagText(s.AutoRefresh));
    ini.WriteSetting(General, QStringLiteral("Auto21Exit"), flagText(s.Auto21Exit));
    ini.WriteSetting(General, QStringLiteral("UnLock"), flagText(s.UnLock));
}

void ReadMainWindowFolds(INIFILES &ini, MainWindowFolds &folds) {
    readFlag(ini, QStringLiteral("LayoutEditorOpen"), folds.LayoutEditorOpen, MainWindowSection);
    readFlag(ini, QStringLiteral("UpdatesOpen"), folds.UpdatesOpen, MainWindowSection);
}

void WriteMainWindowFolds(INIFILES &ini, const MainWindowFolds &folds) {
    ini.WriteSetting(MainWindowSection, QStringLiteral("LayoutEditorOpen"), flagText(folds.LayoutEditorOpen));
    ini.WriteSetting(MainWindowSection, QStringLiteral("UpdatesOpen"), flagText(folds.UpdatesOpen));
}
