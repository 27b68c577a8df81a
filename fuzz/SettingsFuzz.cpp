#include "FuzzSupport.h"
#include "settings/INIFILES.h"

namespace {

struct Window : PlacedWindow {
    Placement placement{10, 20, 300, 200};
    QString placementName() const override { return QStringLiteral("ConfigForm"); }
    Placement currentPlacement() const override { return placement; }
    bool isNormalState() const override { return true; }
    void applyPlacement(const Placement &p) override { placement = p; }
    void hideWindow() override {}
};

// What a written settings file may hold: blank lines, [section] headers, comments and
// key=value lines, all of them text.
bool plainIniLine(const QByteArray &line) {
    for (const char c : line) {
        if ((uchar(c) < 0x20 && c != '\t') || c == 0x7f) {
            return false;
        }
    }
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('#')) {
        return true;
    }
    if (t.startsWith('[')) {
        return t.endsWith(']');
    }
    return t.indexOf('=') > 0;
}

} // namespace

// The settings file as the program meets it at start and close: every value read, the
// timeouts and a placement applied, then the close writes. Whatever the file held, the
// written file is a plain INI file and what was written reads back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QDir folder = Fuzz::ScratchFolder();
    INIFILES ini;
    ini.SetProgramPaths(folder.filePath(QStringLiteral("CVRemote")));
    Fuzz::WriteFile(ini.SettingsFile(), Fuzz::Bytes(data, size));

    const QString general = QStringLiteral("General");
    const QString port = ini.ReadSetting(general, QStringLiteral("RaidoPORT"), QStringLiteral("8080"));
    (void)ini.ReadSetting(general, QStringLiteral("RaidoURL"), QStringLiteral("192.168.1.119"));
    Timeouts timeouts;
    ini.ReadTimeouts(timeouts);
    Window window;
    ini.RestoreWindowPlacement(window);
    ini.RestoreWindowTopLeft(window);

    ini.WriteSetting(general, QStringLiteral("LastRemote"), QStringLiteral("remote1"));
    ini.WriteSetting(general, QStringLiteral("RaidoPORT"), port);
    window.placement = Placement{1, 2, 3, 4};
    ini.SaveWindowPlacement(window, false);
    if (!ini.Save().ok) {
        Fuzz::Fail("the settings could not be saved");
    }

    QFile written(ini.SettingsFile());
    if (!written.open(QIODevice::ReadOnly)) {
        Fuzz::Fail("settings file gone after a write");
    }
    const QByteArray bytes = written.readAll();
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n")) {
        Fuzz::Fail("written file does not end with CR LF");
    }
    for (const QByteArray &line : bytes.split('\n')) {
        if ((!line.isEmpty() && !line.endsWith('\r')) || !plainIniLine(line.chopped(line.isEmpty() ? 0 : 1))) {
            Fuzz::Fail("written settings file holds a line that is not plain INI");
        }
    }
    if (ini.ReadSetting(general, QStringLiteral("LastRemote"), QString()) != QStringLiteral("remote1") ||
        ini.ReadSetting(general, QStringLiteral("RaidoPORT"), QString()) != port.left(INIFILES::MaxValueLength) ||
        ini.ReadSetting(QStringLiteral("ConfigForm"), QStringLiteral("FC"), QString()) != QStringLiteral("1,2,3,4,")) {
        Fuzz::Fail("a written value does not read back");
    }
    return 0;
}
