#include "main_window/GeneralSettings.h"

#include "settings/INIFILES.h"

namespace {

const QString General = QStringLiteral("General");

void readFlag(const INIFILES &ini, const QString &key, bool &flag) {
    bool ok = false;
    const int value = ini.ReadSetting(General, key, flag ? 1 : 0).toInt(&ok);
    if (ok) {
        flag = value != 0;
    }
}

QString flagText(bool flag) {
    return flag ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

void ReadGeneralSettings(const INIFILES &ini, GeneralSettings &s) {
    s.LastRemote = ini.ReadSetting(General, QStringLiteral("LastRemote"), s.LastRemote);
    s.RaidoURL = ini.ReadSetting(General, QStringLiteral("RaidoURL"), s.RaidoURL);
    s.RaidoPORT = ini.ReadSetting(General, QStringLiteral("RaidoPORT"), s.RaidoPORT);
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
