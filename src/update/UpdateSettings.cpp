#include "update/UpdateSettings.h"

#include "settings/INIFILES.h"

namespace {

const QString Section = QStringLiteral("Proxy");

QString key(const char *name) {
    return QString::fromLatin1(name);
}

bool readFlag(INIFILES &ini, const char *name) {
    double value = 0;
    ini.ReadNumber(Section, key(name), 0, 1, 0, value, true);
    return value == 1;
}

} // namespace

UpdateProxy ReadUpdateProxy(INIFILES &ini) {
    UpdateProxy proxy;
    proxy.use = readFlag(ini, "UseProxy");
    proxy.server = ini.ReadSetting(Section, key("Server"), QString());
    double port = UpdateProxy::DefaultPort;
    ini.ReadNumber(Section, key("Port"), 1, 65535, UpdateProxy::DefaultPort, port, true);
    proxy.port = quint16(port);
    proxy.userName = ini.ReadSetting(Section, key("UserName"), QString());
    proxy.rememberPassword = readFlag(ini, "RememberPassword");
    const QString stored = ini.ReadSetting(Section, key("Password"), QString());
    if (proxy.rememberPassword) {
        const auto decoded = QByteArray::fromBase64Encoding(stored.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        proxy.password = decoded ? QString::fromUtf8(*decoded) : QString();
    } else if (!stored.isEmpty()) {
        // A password the user did not ask to keep (put there by hand, or left by a crash) goes
        // at the next save.
        ini.RemoveSetting(Section, key("Password"));
    }
    return proxy;
}

void WriteUpdateProxy(INIFILES &ini, const UpdateProxy &proxy) {
    ini.WriteSetting(Section, key("UseProxy"), proxy.use ? QStringLiteral("1") : QStringLiteral("0"));
    ini.WriteSetting(Section, key("Server"), proxy.server.trimmed());
    ini.WriteSetting(Section, key("Port"), QString::number(proxy.port == 0 ? UpdateProxy::DefaultPort : proxy.port));
    ini.WriteSetting(Section, key("UserName"), proxy.userName);
    ini.WriteSetting(Section, key("RememberPassword"),
                     proxy.rememberPassword ? QStringLiteral("1") : QStringLiteral("0"));
    if (proxy.rememberPassword && !proxy.password.isEmpty()) {
        ini.WriteSetting(Section, key("Password"), QString::fromLatin1(proxy.password.toUtf8().toBase64()));
    } else {
        ini.RemoveSetting(Section, key("Password"));
    }
}
