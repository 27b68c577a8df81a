#include "update/UpdateSettings.h"

#include "settings/INIFILES.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool putFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The proxy's fields through a save and a fresh start on the same file.
class UpdateSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ini.SetProgramPaths(dir.filePath("CVRemote"));
    }
    UpdateProxy savedAndReadAgain(const UpdateProxy &proxy) {
        WriteUpdateProxy(ini, proxy);
        EXPECT_TRUE(ini.Save().ok);
        INIFILES again;
        again.SetProgramPaths(dir.filePath("CVRemote"));
        return ReadUpdateProxy(again);
    }

    QTemporaryDir dir;
    INIFILES ini;
};

} // namespace

TEST_F(UpdateSettingsTest, ThePasswordIsKeptOnlyWhenTheUserAsks) {
    UpdateProxy proxy;
    proxy.use = true;
    proxy.server = "proxy.lan";
    proxy.port = 3128;
    proxy.userName = "alice";
    proxy.password = " s3cret\u00e4\u20ac ";

    // Not asked: everything but the password comes back; the file holds no trace of it.
    UpdateProxy back = savedAndReadAgain(proxy);
    EXPECT_EQ(back.server, "proxy.lan");
    EXPECT_EQ(back.port, 3128);
    EXPECT_EQ(back.userName, "alice");
    EXPECT_TRUE(back.use);
    EXPECT_FALSE(back.rememberPassword);
    EXPECT_EQ(back.password, "");
    QByteArray file = readFile(ini.SettingsFile());
    EXPECT_TRUE(file.contains("[Proxy]\r\n")) << file.toStdString();
    EXPECT_FALSE(file.contains("s3cret"));
    EXPECT_FALSE(file.contains("\nPassword=")) << file.toStdString();

    // Asked: the password comes back whole, blanks and all, and still not as clear text.
    proxy.rememberPassword = true;
    back = savedAndReadAgain(proxy);
    EXPECT_EQ(back, proxy);
    file = readFile(ini.SettingsFile());
    EXPECT_TRUE(file.contains("RememberPassword=1\r\n"));
    EXPECT_TRUE(file.contains("\nPassword=")) << file.toStdString();
    EXPECT_FALSE(file.contains("s3cret"));

    // Changing one's mind takes it out of the file again.
    proxy.rememberPassword = false;
    savedAndReadAgain(proxy);
    EXPECT_FALSE(readFile(ini.SettingsFile()).contains("\nPassword=")) << readFile(ini.SettingsFile()).toStdString();
}

TEST_F(UpdateSettingsTest, OlderFilesAndValuesOutOfRangeGiveTheDefaults) {
    // A file of before the proxy: no proxy, the usual port; its other keys keep their meaning.
    ASSERT_TRUE(putFile(ini.SettingsFile(), "[General]\r\nRaidoURL=10.0.0.8\r\nUpdateURL=10.0.0.2/v\r\n"));
    EXPECT_EQ(ReadUpdateProxy(ini), UpdateProxy{});
    EXPECT_EQ(ini.ReadSetting("General", "UpdateURL", ""), "10.0.0.2/v");

    // A password put there without RememberPassword is not used and goes at the next save; a
    // port or a flag out of range gives its default.
    ASSERT_TRUE(putFile(ini.SettingsFile(), "[Proxy]\r\nUseProxy=7\r\nServer=proxy.lan\r\nPort=80800\r\n"
                                            "Password=czNjcmV0\r\n"));
    INIFILES fresh;
    fresh.SetProgramPaths(dir.filePath("CVRemote"));
    const UpdateProxy read = ReadUpdateProxy(fresh);
    EXPECT_FALSE(read.use);
    EXPECT_EQ(read.port, UpdateProxy::DefaultPort);
    EXPECT_EQ(read.password, "");
    ASSERT_TRUE(fresh.Save().ok);
    const QByteArray file = readFile(fresh.SettingsFile());
    EXPECT_FALSE(file.contains("\nPassword=")) << file.toStdString();
    EXPECT_TRUE(file.contains("Server=proxy.lan\r\n"));
}
