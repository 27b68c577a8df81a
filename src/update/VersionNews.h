#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Whether the version page offers something newer than the running program, told in one plain
// line. The page's own comparison (CompareVersions) reads any text as some number, which is
// right for noting a download but not for telling the user "you have the latest version": here
// a version that cannot be read is said to be unreadable.

// A version of whole numbers separated by dots ("1", "1.0.12"), without blanks or anything
// else; nothing for any other text. Fields of more than nine digits are not read either.
std::optional<QList<int>> ParseVersion(const QString &text);

struct VersionNews {
    enum Kind {
        Newer,      // the page offers a newer version
        Latest,     // the page's version is the running one, or older
        NoVersion,  // the page names no version (or there was no page)
        Unreadable, // the page's version (or the running one) could not be read
    };
    Kind kind = NoVersion;
    QString offered; // the page's version text as written
};

// Looks for the first line with the version marker (matched ignoring case, as the checker
// does); the version is the text after the marker up to the first blank. Missing fields
// count as 0: "1.2" is "1.2.0".
VersionNews JudgeVersionPage(const QStringList &pageLines, const QString &ownVersion);

// The line the update window shows at its top.
QString VersionNewsLine(const VersionNews &news, const QString &ownVersion);
