#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The simulator's record of what went over the wire: one line per command,
// "<ms since start>\t<port>\t<connection number>\t<command>", so that a command holding
// line ends or tabs still takes exactly one line. Bytes a client sent on a command connection
// after its command get a line of their own with a fifth field,
// "<ms since start>\t<port>\t<connection number>\tEXTRA\t<bytes>": the radio ignores them,
// but a client that sends them has a fault worth seeing. No command line has five fields,
// since a tab inside a command is written as \t.
class CommandLog {
public:
    // Opens (and empties) the file; false when it cannot be written.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_file.errorString(); }

    static constexpr const char *ExtraMark = "EXTRA";

    void write(qint64 msSinceStart, quint16 port, int connection, const QByteArray &command);
    void writeExtra(qint64 msSinceStart, quint16 port, int connection, const QByteArray &bytes);

    // CR, LF, TAB and backslash written as \r \n \t \\; every other byte unchanged.
    static QByteArray escape(const QByteArray &raw);
    static QByteArray formatLine(qint64 msSinceStart, quint16 port, int connection, const QByteArray &command);
    static QByteArray formatExtraLine(qint64 msSinceStart, quint16 port, int connection, const QByteArray &bytes);

private:
    void append(const QByteArray &line);

    QFile m_file;
};
