#include "platform/WholeFileWriter.h"

#include <QDir>
#include <QSaveFile>

SaveFileLayer::SaveFileLayer() = default;
SaveFileLayer::~SaveFileLayer() = default;

bool SaveFileLayer::open(const QString &path) {
    m_file = std::make_unique<QSaveFile>(path);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

bool SaveFileLayer::write(const QByteArray &bytes) {
    if (m_file->write(bytes) != bytes.size()) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

bool SaveFileLayer::flush() {
    // QSaveFile buffers small writes and, on its own, would only find out at commit that the
    // buffer could not be written; it then still renames the short temporary file over the old
    // one. Flushing here makes the failure show while it can still be cancelled.
    if (!m_file->flush()) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

bool SaveFileLayer::commit() {
    if (!m_file->commit()) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

void SaveFileLayer::cancel() {
    if (m_file && m_file->isOpen()) {
        m_file->cancelWriting();
        m_file->commit(); // after cancelWriting this only removes the temporary file
    }
    m_file.reset();
}

QString SaveFileLayer::errorString() const {
    return m_error;
}

WholeFileWrite WriteWholeFile(const QString &path, const QByteArray &bytes, FileLayer &layer) {
    const QString shown = QDir::toNativeSeparators(path);
    const auto failed = [&](const char *step) {
        WholeFileWrite result;
        result.error = QStringLiteral("could not %1 %2: %3").arg(QLatin1String(step), shown, layer.errorString());
        return result;
    };
    if (!layer.open(path)) {
        return failed("create a new copy of");
    }
    if (!layer.write(bytes)) {
        layer.cancel();
        return failed("write");
    }
    if (!layer.flush()) {
        layer.cancel();
        return failed("write");
    }
    if (!layer.commit()) {
        layer.cancel();
        return failed("replace");
    }
    return WholeFileWrite{true, {}};
}

WholeFileWrite WriteWholeFile(const QString &path, const QByteArray &bytes) {
    SaveFileLayer layer;
    return WriteWholeFile(path, bytes, layer);
}
