#include "CommandLog.h"

bool CommandLog::open(const QString &path) {
    close();
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void CommandLog::close() {
    if (m_file.isOpen()) {
        m_file.close();
    }
}

QByteArray CommandLog::escape(const QByteArray &raw) {
    QByteArray out;
    out.reserve(raw.size() + 8);
    for (char c : raw) {
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray CommandLog::formatLine(qint64 msSinceStart, quint16 port, int connection, const QByteArray &command) {
    return QByteArray::number(msSinceStart) + '\t' + QByteArray::number(port) + '\t' + QByteArray::number(connection) +
           '\t' + escape(command) + '\n';
}

QByteArray CommandLog::formatExtraLine(qint64 msSinceStart, quint16 port, int connection, const QByteArray &bytes) {
    return QByteArray::number(msSinceStart) + '\t' + QByteArray::number(port) + '\t' + QByteArray::number(connection) +
           '\t' + ExtraMark + '\t' + escape(bytes) + '\n';
}

void CommandLog::write(qint64 msSinceStart, quint16 port, int connection, const QByteArray &command) {
    append(formatLine(msSinceStart, port, connection, command));
}

void CommandLog::writeExtra(qint64 msSinceStart, quint16 port, int connection, const QByteArray &bytes) {
    append(formatExtraLine(msSinceStart, port, connection, bytes));
}

void CommandLog::append(const QByteArray &line) {
    if (!m_file.isOpen()) {
        return;
    }
    m_file.write(line);
    // Readers follow the file while the simulator runs.
    m_file.flush();
}
