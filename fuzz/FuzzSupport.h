#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Helpers shared by the fuzz targets: the input as the program would read it (files and the
// wire are single-byte text), a scratch folder that lives as long as the fuzzer, and a check
// that turns a broken promise into a crash libFuzzer reports.
namespace Fuzz {

inline QByteArray Bytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline QString Latin1(const uint8_t *data, size_t size) {
    return QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
}

// One folder per fuzzer process; every input overwrites the files it needs in it. In memory
// where the machine offers it: the settings writer syncs every file it writes to disk.
inline QDir ScratchFolder() {
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/cvremote-fuzz-XXXXXX")
                                    : QDir::temp().filePath(QStringLiteral("cvremote-fuzz-XXXXXX")));
    if (!folder.isValid()) {
        std::fprintf(stderr, "fuzz: no temporary folder\n");
        std::abort();
    }
    return QDir(folder.path());
}

inline void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

[[noreturn]] inline void Fail(const char *what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

} // namespace Fuzz
