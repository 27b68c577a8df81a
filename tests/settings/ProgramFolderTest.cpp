#include "settings/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

bool put(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A few of the shipped files, a skin picture and a sound among them.
void shipData(const QString &folder) {
    ASSERT_TRUE(put(folder + "/Commandlist.txt", "VERSION\r\n"));
    ASSERT_TRUE(put(folder + "/macros.txt", "[Play]\r\n"));
    ASSERT_TRUE(put(folder + "/320x240/main.png", "png"));
    ASSERT_TRUE(put(folder + "/sounds/ok.wav", "wav"));
}

void makeReadOnly(const QString &path) {
    QFileDevice::Permissions read = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (QFileInfo(path).isDir()) {
        read |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    }
    QFile::setPermissions(path, read);
}

class ProgramFolderTest : public ::testing::Test {
protected:
    QString path(const QString &relative) const { return root.filePath(relative); }

    // <prefix>/bin and <prefix>/share/cvremote, as an install lays them out.
    void install() {
        ASSERT_TRUE(QDir().mkpath(path("prefix/bin")));
        shipData(path("prefix/share/cvremote"));
    }
    ProgramFolderChoice choose(const QString &exeFolder, const QString &explicitFolder = {}) const {
        return ChooseProgramFolder({exeFolder, explicitFolder, path("home/.local/share/CVRemote"), {}});
    }

    QTemporaryDir root;
};

TEST_F(ProgramFolderTest, WritablePortableCopyKeepsItsOwnFolder) {
    shipData(path("portable"));
    const ProgramFolderChoice choice = choose(path("portable"));
    ASSERT_TRUE(choice.ok()) << choice.error.toStdString();
    EXPECT_EQ(choice.folder, QDir::cleanPath(path("portable")));
    EXPECT_TRUE(choice.filledFrom.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path("home"))) << "a portable copy must not leave traces in the home folder";

    // An executable folder without data files is still the program folder, as it always was.
    ASSERT_TRUE(QDir().mkpath(path("bare")));
    EXPECT_EQ(choose(path("bare")).folder, QDir::cleanPath(path("bare")));
}

TEST_F(ProgramFolderTest, InstalledCopyUsesAFilledUserFolderEvenWhenItsBinCanBeWritten) {
    install();
    // Shipped files are read-only; the user's copies must not be, or no layout could be saved.
    makeReadOnly(path("prefix/share/cvremote/macros.txt"));

    const ProgramFolderChoice choice = choose(path("prefix/bin"));
    ASSERT_TRUE(choice.ok()) << choice.error.toStdString();
    const QString user = path("home/.local/share/CVRemote");
    EXPECT_EQ(choice.folder, user);
    EXPECT_EQ(choice.filledFrom, path("prefix/share/cvremote"));
    EXPECT_EQ(contents(user + "/Commandlist.txt"), "VERSION\r\n");
    EXPECT_EQ(contents(user + "/320x240/main.png"), "png");
    EXPECT_EQ(contents(user + "/sounds/ok.wav"), "wav");
    EXPECT_EQ(contents(user + "/macros.txt"), "[Play]\r\n");
    EXPECT_TRUE(QFileInfo(user + "/macros.txt").permissions() & QFileDevice::WriteOwner);
    EXPECT_FALSE(QFileInfo::exists(path("prefix/bin/CVRemote.ini")));

    // A relative or untidy path to bin is the same install.
    EXPECT_EQ(choose(path("prefix/share/../bin/")).folder, user);
    // bin without the shipped data beside it is no install.
    ASSERT_TRUE(QDir().mkpath(path("other/bin")));
    EXPECT_EQ(choose(path("other/bin")).folder, QDir::cleanPath(path("other/bin")));
}

TEST_F(ProgramFolderTest, FillingAddsOnlyWhatIsMissingAndNeverOverwrites) {
    install();
    const QString user = path("home/.local/share/CVRemote");
    ASSERT_TRUE(put(user + "/Commandlist.txt", "MY OWN\r\n"));
    ASSERT_TRUE(choose(path("prefix/bin")).ok());
    EXPECT_EQ(contents(user + "/Commandlist.txt"), "MY OWN\r\n");
    EXPECT_EQ(contents(user + "/macros.txt"), "[Play]\r\n");

    // The user changes a filled file and deletes another; a later version ships new defaults.
    ASSERT_TRUE(put(user + "/macros.txt", "[Mine]\r\n"));
    ASSERT_TRUE(QFile::remove(user + "/sounds/ok.wav"));
    ASSERT_TRUE(put(path("prefix/share/cvremote/macros.txt"), "[Play]\r\n[New]\r\n"));
    ASSERT_TRUE(put(path("prefix/share/cvremote/sounds/fail.wav"), "new"));
    ASSERT_TRUE(put(user + "/CVRemote.ini", "[General]\r\nRaidoPORT=1\r\n"));

    const ProgramFolderChoice again = choose(path("prefix/bin"));
    ASSERT_TRUE(again.ok()) << again.error.toStdString();
    EXPECT_EQ(contents(user + "/Commandlist.txt"), "MY OWN\r\n");
    EXPECT_EQ(contents(user + "/macros.txt"), "[Mine]\r\n");
    EXPECT_EQ(contents(user + "/CVRemote.ini"), "[General]\r\nRaidoPORT=1\r\n");
    EXPECT_EQ(contents(user + "/sounds/ok.wav"), "wav") << "a deleted default comes back";
    EXPECT_EQ(contents(user + "/sounds/fail.wav"), "new");
}

TEST_F(ProgramFolderTest, ReadOnlyExecutableFolderUsesTheUserFolder) {
    const auto readOnly = [](const QString &) { return false; };
    const QString user = path("home/.local/share/CVRemote");

    // Shipped data beside a read-only executable folder that is not named bin.
    ASSERT_TRUE(QDir().mkpath(path("opt/cvremote/bin")));
    shipData(path("opt/cvremote/share/cvremote"));
    ProgramFolderChoice choice = ChooseProgramFolder({path("opt/cvremote/lib"), {}, user, readOnly});
    EXPECT_FALSE(choice.ok()) << "no share folder beside lib";

    // A portable copy on a read-only medium: its data is copied, its executables and lock are not.
    shipData(path("medium"));
    ASSERT_TRUE(put(path("medium/CVRemote"), "ELF"));
    QFile::setPermissions(path("medium/CVRemote"), QFile::permissions(path("medium/CVRemote")) | QFileDevice::ExeOwner);
    ASSERT_TRUE(put(path("medium/CVRemote.ini.lock"), "1"));
    choice = ChooseProgramFolder({path("medium"), {}, user, readOnly});
    ASSERT_TRUE(choice.ok()) << choice.error.toStdString();
    EXPECT_EQ(choice.folder, user);
    EXPECT_EQ(contents(user + "/Commandlist.txt"), "VERSION\r\n");
    EXPECT_FALSE(QFileInfo::exists(user + "/CVRemote"));
    EXPECT_FALSE(QFileInfo::exists(user + "/CVRemote.ini.lock"));

    // The same by the file modes, where they mean something (not as root).
    if (::geteuid() != 0) {
        shipData(path("locked"));
        makeReadOnly(path("locked"));
        EXPECT_EQ(choose(path("locked")).folder, user);
        QFile::setPermissions(path("locked"), QFile::permissions(path("locked")) | QFileDevice::WriteOwner);
    }
}

TEST_F(ProgramFolderTest, MissingShippedDataFailsClearly) {
    ASSERT_TRUE(QDir().mkpath(path("prefix/bin")));
    const ProgramFolderChoice choice =
        ChooseProgramFolder({path("prefix/bin"), {}, path("home/data"), [](const QString &) { return false; }});
    EXPECT_FALSE(choice.ok());
    EXPECT_TRUE(choice.folder.isEmpty());
    EXPECT_TRUE(choice.error.contains(path("prefix/share/cvremote"))) << choice.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("home/data"))) << "nothing half-made";

    QString error;
    EXPECT_FALSE(FillMissingFiles(path("nowhere"), path("home/data"), &error));
    EXPECT_TRUE(error.contains(path("nowhere"))) << error.toStdString();

    // Without a home there is no user folder to fall back on.
    EXPECT_FALSE(ChooseProgramFolder({path("prefix/bin"), {}, {}, [](const QString &) { return false; }}).ok());
}

TEST_F(ProgramFolderTest, FolderNamedOnTheCommandLineWins) {
    install();
    // An installed copy fills it, so a second set of settings starts complete.
    ProgramFolderChoice choice = choose(path("prefix/bin"), path("second/profile"));
    ASSERT_TRUE(choice.ok()) << choice.error.toStdString();
    EXPECT_EQ(choice.folder, path("second/profile"));
    EXPECT_EQ(contents(path("second/profile/Commandlist.txt")), "VERSION\r\n");
    EXPECT_FALSE(QFileInfo::exists(path("home"))) << "the usual user folder is not touched";

    // A portable copy uses it as it is.
    shipData(path("portable"));
    choice = choose(path("portable"), path("elsewhere"));
    ASSERT_TRUE(choice.ok()) << choice.error.toStdString();
    EXPECT_EQ(choice.folder, path("elsewhere"));
    EXPECT_TRUE(QDir(path("elsewhere")).isEmpty());

    // A name that cannot be a folder fails instead of running without one.
    ASSERT_TRUE(put(path("afile"), "x"));
    choice = choose(path("portable"), path("afile/sub"));
    EXPECT_FALSE(choice.ok());
    EXPECT_TRUE(choice.error.contains(path("afile/sub"))) << choice.error.toStdString();
}

} // namespace

TEST_F(ProgramFolderTest, FindingTheFolderCreatesAndCopiesNothing) {
    install();
    const QString user = path("home/.local/share/CVRemote");
    const auto find = [&](const QString &exeFolder, const QString &explicitFolder = {}) {
        return FindProgramFolder({exeFolder, explicitFolder, user, {}});
    };
    // An installed copy never started: its files are read where they were shipped.
    ProgramFolderChoice choice = find(path("prefix/bin"));
    ASSERT_TRUE(choice.ok()) << choice.error.toStdString();
    EXPECT_EQ(choice.folder, path("prefix/share/cvremote"));
    EXPECT_FALSE(QFileInfo::exists(path("home"))) << "nothing may be made for a look";
    ASSERT_TRUE(QDir().mkpath(user));

    // A settings file written before the first start names the radio: that folder it is.
    ASSERT_TRUE(put(user + "/CVRemote.ini", "[General]\r\n"));
    EXPECT_EQ(find(path("prefix/bin")).folder, user);
    ASSERT_TRUE(QFile::remove(user + "/CVRemote.ini"));
    EXPECT_EQ(find(path("prefix/bin")).folder, path("prefix/share/cvremote"));

    // Once started, the user's folder, with the user's settings, as the window program has it.
    ASSERT_EQ(choose(path("prefix/bin")).folder, user);
    ASSERT_TRUE(put(user + "/CVRemote.ini", "[General]\r\n"));
    const QDateTime written = QFileInfo(user + "/macros.txt").lastModified();
    ASSERT_TRUE(QFile::remove(user + "/sounds/ok.wav"));
    EXPECT_EQ(find(path("prefix/bin")).folder, user);
    EXPECT_FALSE(QFileInfo::exists(user + "/sounds/ok.wav")) << "a look fills in nothing";
    EXPECT_EQ(QFileInfo(user + "/macros.txt").lastModified(), written);

    // A portable copy: its own folder, as the window program's choice.
    shipData(path("portable"));
    EXPECT_EQ(find(path("portable")).folder, choose(path("portable")).folder);

    // A folder named on the command line must exist already.
    choice = find(path("portable"), path("missing"));
    EXPECT_FALSE(choice.ok());
    EXPECT_TRUE(choice.error.contains(path("missing"))) << choice.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
    EXPECT_EQ(find(path("portable"), path("prefix/share/cvremote")).folder, path("prefix/share/cvremote"));
}
