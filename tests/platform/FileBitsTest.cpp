#include "platform/FileBits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileBits, ReadsSingleByteTextAndMissingFilesAsEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    static const char bytes[] = "caf\xe9\r\nline2\nline3\rstill3\r\n\r\n";
    f.write(bytes, sizeof(bytes) - 1);
    f.close();
    const QString text = FileBits::ReadWholeFile(path);
    EXPECT_EQ(text.at(3), QChar(0xe9));
    const QStringList lines = FileBits::SplitLines(text);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], QStringLiteral("line2")); // a bare LF ends a line as well
    EXPECT_EQ(lines[2], QStringLiteral("line3\rstill3"));
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(FileBits::ReadWholeFile(dir.filePath(QStringLiteral("missing.txt"))), QString());
    EXPECT_EQ(FileBits::SplitLines(QString()).size(), 1);
}

TEST(FileBits, WritesAtomicallyAndChoosesDataFiles) {
    QTemporaryDir dir;
    EXPECT_EQ(FileBits::ChooseDataFile(dir.path(), QStringLiteral("macros.txt")),
              dir.filePath(QStringLiteral("qx_macros.txt")));
    const QString path = dir.filePath(QStringLiteral("macros.txt"));
    ASSERT_TRUE(FileBits::WriteWholeFile(path, QStringLiteral("x\r\ny\u00e9")));
    EXPECT_EQ(FileBits::ChooseDataFile(dir.path(), QStringLiteral("macros.txt")), path);
    EXPECT_EQ(FileBits::ReadWholeFile(path), QStringLiteral("x\r\ny\u00e9"));
    // A folder that cannot be written leaves the old file as it was.
    EXPECT_FALSE(FileBits::WriteWholeFile(dir.filePath(QStringLiteral("no/such/folder/f.txt")), QStringLiteral("z")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}
