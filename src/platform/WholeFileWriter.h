#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSaveFile;

// The steps of replacing a file whole: a temporary file beside it is opened, written and
// flushed, then renamed over the old one. Each step says whether it worked; a failed step
// leaves the old file as it was. Tests put a layer of their own in between that fails at a
// chosen step.
class FileLayer {
public:
    virtual ~FileLayer() = default;
    virtual bool open(const QString &path) = 0;
    virtual bool write(const QByteArray &bytes) = 0;
    virtual bool flush() = 0;
    // Renames the written file over the old one.
    virtual bool commit() = 0;
    // Drops the temporary file; the old file stays.
    virtual void cancel() = 0;
    // Why the last step failed, in the system's words.
    virtual QString errorString() const = 0;
};

class SaveFileLayer final : public FileLayer {
public:
    SaveFileLayer();
    ~SaveFileLayer() override;
    bool open(const QString &path) override;
    bool write(const QByteArray &bytes) override;
    bool flush() override;
    bool commit() override;
    void cancel() override;
    QString errorString() const override;

private:
    std::unique_ptr<QSaveFile> m_file;
    QString m_error;
};

struct WholeFileWrite {
    bool ok = false;
    // What failed and why ("" when written), for a person: "could not write /x/CVRemote.ini: No
    // space left on device".
    QString error;
};

// Writes bytes as the whole new content of path in one step through the layer. Every step is
// checked: a short write, a failed flush (a full disk shows only there for a small file) or a
// failed rename cancels the rest, and the old file stays untouched.
WholeFileWrite WriteWholeFile(const QString &path, const QByteArray &bytes, FileLayer &layer);
// The same through the real file system.
WholeFileWrite WriteWholeFile(const QString &path, const QByteArray &bytes);
