#include "FuzzSupport.h"
#include "update/UpdateHttp.h"

// The update server's answer: any bytes are taken apart, shown line by line and searched for
// a version, and a name for a saved zip never leaves the program folder.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const UpdateResponse response = TakeUpdateResponseApart(Fuzz::Bytes(data, size));
    if (response.status == UpdateResponse::Ok && response.headers.size() > qsizetype(size)) {
        Fuzz::Fail("headers longer than the answer");
    }
    QString noted;
    bool cut = false;
    const QStringList lines = PageLines(response.body, &cut);
    if (lines.size() > MaxPageLines) {
        Fuzz::Fail("more page lines shown than the window may hold");
    }
    for (const QString &line : lines) {
        const QString version = FindTheUpdate(line, QStringLiteral("1.0.0"), noted);
        const QString zip = SafeZipName(version);
        if (zip.contains(QLatin1Char('/')) || zip.contains(QLatin1Char('\\')) || zip.startsWith(QLatin1Char('.'))) {
            Fuzz::Fail("a zip name that is not a plain file name");
        }
    }
    return 0;
}
