#include "update/VersionNews.h"

#include <gtest/gtest.h>

namespace {

QString line(const QStringList &page, const QString &own = "1.0.0") {
    return VersionNewsLine(JudgeVersionPage(page, own), own);
}

QStringList pageOffering(const QString &version) {
    return {"CV Remote update service ", "Corvale Remote Software V." + version + " ",
            "Ask your dealer for the download. "};
}

} // namespace

TEST(VersionNews, OnlyWholeNumbersBetweenDotsAreVersions) {
    EXPECT_EQ(ParseVersion("1.0.12"), (QList<int>{1, 0, 12}));
    EXPECT_EQ(ParseVersion("7"), QList<int>{7});
    EXPECT_EQ(ParseVersion("010.2"), (QList<int>{10, 2}));
    EXPECT_EQ(ParseVersion("999999999"), QList<int>{999999999});
    for (const char *bad :
         {"", ".", "1.", ".1", "1..2", "1.0b", "v1.0", "1,0", " 1.0", "-1.0", "1.+2", "1234567890", "\xb9.0"}) {
        EXPECT_FALSE(ParseVersion(QString::fromLatin1(bad)).has_value()) << bad;
    }
}

TEST(VersionNews, NewerEqualOlderAndWhatCannotBeRead) {
    EXPECT_EQ(line(pageOffering("1.0.1")), "A newer version, V.1.0.1, is available.");
    EXPECT_EQ(line(pageOffering("1.10"), "1.9.99"), "A newer version, V.1.10, is available."); // by number, not text
    EXPECT_EQ(line(pageOffering("2")), "A newer version, V.2, is available.");
    EXPECT_EQ(line(pageOffering("1.0.0")), "You have the latest version.");
    EXPECT_EQ(line(pageOffering("1.0")), "You have the latest version."); // missing fields are 0
    EXPECT_EQ(line(pageOffering("1")), "You have the latest version.");
    EXPECT_EQ(line(pageOffering("0.9.9")), "You have the latest version.");
    EXPECT_EQ(line(pageOffering("1.0.0"), "1.0.0.1"), "You have the latest version.");
    // The marker is found ignoring case, and the version ends at the first blank.
    EXPECT_EQ(line({"corvale remote software v. 1.2.0 (beta) "}), "A newer version, V.1.2.0, is available.");
    // The first version the page names counts.
    EXPECT_EQ(line({"Corvale Remote Software V.0.5", "Corvale Remote Software V.3.0"}), "You have the latest version.");

    const VersionNews malformed = JudgeVersionPage(pageOffering("1.0.1b"), "1.0.0");
    EXPECT_EQ(malformed.kind, VersionNews::Unreadable);
    EXPECT_EQ(VersionNewsLine(malformed, "1.0.0"),
              "Could not tell whether V.1.0.1b is newer than this version (1.0.0).");
    EXPECT_EQ(line(pageOffering("soon")), "Could not tell whether V.soon is newer than this version (1.0.0).");
    EXPECT_EQ(line({"Corvale Remote Software V.   "}),
              "Could not tell whether a newer version is available: the answer's version is blank.");
    EXPECT_EQ(JudgeVersionPage(pageOffering("1.0.1"), "dev").kind, VersionNews::Unreadable);
    EXPECT_EQ(JudgeVersionPage(pageOffering("99999999999"), "1.0.0").kind, VersionNews::Unreadable);
    // No marker: nothing to compare, also when a version number stands elsewhere on the page.
    EXPECT_EQ(JudgeVersionPage({"Remote Software 9.9.9", "Not found"}, "1.0.0").kind, VersionNews::NoVersion);
    EXPECT_EQ(line({}), "Could not tell whether a newer version is available: the answer names no version.");
}
