#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The simulator's record of what went over the wire: one line per command,
// "<ms since start>\t<port>\t<connection number>\t<command>", so that a command holding
// line ends or tabs still takes exactly one line.
class CommandLog {
public:
    // Opens (and empties) the file; false when it cannot be written.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_file.errorString(); }

    void write(qint64 msSinceStart, quint16 port, int connection, const QByteArray &command);

    // CR, LF, TAB and backslash written as \r \n \t \\; every other byte unchanged.
    static QByteArray escape(const QByteArray &raw);
    static QByteArray formatLine(qint64 msSinceStart, quint16 port, int connection, const QByteArray &command);

private:
    QFile m_file;
};
