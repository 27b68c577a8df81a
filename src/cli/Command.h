#pragma once

#include <QCommandLineParser>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QTextStream;
class RadioClient;

// One command of the client: its help, its own arguments and what it does with the radio.
// The shared options (--radio, --program-folder, --help) are every command's; a command names
// only its own.
//
// start() begins the work and returns; the command ends by emitting finished() with the exit
// code, normally once nothing it sent is on its way any more (finishWhenDrained).
class Command : public QObject {
    Q_OBJECT
public:
    virtual QString name() const = 0;
    // The arguments as the usage line shows them, e.g. "KEY...".
    virtual QString arguments() const = 0;
    // One line for the list of commands.
    virtual QString summary() const = 0;
    // What the command's --help says below its usage line.
    virtual QString description() const = 0;
    // The command's own options, for its parser and its --help.
    virtual QList<QCommandLineOption> options() const { return {}; }
    // Takes the positional arguments and the command's options; false, with the reason in
    // error, when they do not fit (nothing has been sent then).
    virtual bool take(const QCommandLineParser &parser, QString &error) = 0;
    // Checks the arguments against the program folder's data (a macro's name), before anything
    // is sent; false, with the reason in error, is a usage error.
    virtual bool ready(RadioClient &client, QString &error) {
        Q_UNUSED(client);
        Q_UNUSED(error);
        return true;
    }
    // False when this invocation works without the radio (macro --list); runWithoutRadio()
    // then does the work and returns the exit code.
    virtual bool needsRadio() const { return true; }
    virtual int runWithoutRadio(RadioClient &client, QTextStream &out, QTextStream &err);

    // The client is started already; out takes the results, err the messages.
    void start(RadioClient &client, QTextStream &out, QTextStream &err);
    // Ctrl-C or SIGTERM. By default commands not sent yet are dropped, what is on its way is
    // let arrive, and the command ends with "interrupted".
    virtual void interrupt();

Q_SIGNALS:
    void finished(int exitCode);

protected:
    virtual void run() = 0;
    // The radio cannot be reached. By default the reason goes to stderr and the command ends
    // at once with "radio unreachable": nothing on the way would arrive anyway.
    virtual void unreachable(const QString &why);

    // Ends the command once nothing it sent is on its way any more.
    void finishWhenDrained(int exitCode);
    void finishNow(int exitCode);
    bool finishing() const { return m_finishing; }

    RadioClient &client() { return *m_client; }
    QTextStream &out() { return *m_out; }
    QTextStream &err() { return *m_err; }
    // "cvremote-cli: " + text + "\n" on stderr.
    void complain(const QString &text);

private:
    RadioClient *m_client = nullptr;
    QTextStream *m_out = nullptr;
    QTextStream *m_err = nullptr;
    bool m_finishing = false;
    bool m_finished = false;
    int m_notSent = 0; // commands the link could not send
};

// Every command the client knows, in the order --help lists them.
std::vector<std::unique_ptr<Command>> MakeCommands();
