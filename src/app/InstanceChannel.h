#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// The line from a second copy of the program to the copy already running on the same program
// folder: the running copy listens, and a copy that finds it there hands over its request (show
// your window) and ends. The name is made from the settings file's path and the user, so copies
// on other program folders, and other users' copies, never meet; only the user can connect.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(const QString &settingsFile, QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Where the channel of this settings file listens: a socket in the user's runtime folder,
    // else in the temporary folder.
    static QString NameFor(const QString &settingsFile);
    const QString &name() const { return m_name; }

    // The running copy: listens for requests. Only the holder of the program folder's lock calls
    // it, so a channel left behind by a copy that crashed is taken over. False when it cannot
    // listen (the copy then runs without it).
    bool listen();
    bool listening() const;

    // A second copy: hands the running copy the request to show its window, waiting at most
    // timeoutMs for each step. False when no copy listens. The request is delivered, not
    // answered: the running copy reads it in its own event loop, after this has returned (in a
    // test both copies share one thread).
    bool askToShow(int timeoutMs = 2000);

Q_SIGNALS:
    // A second copy asked this one to show its window.
    void showRequested();

private:
    void accept();
    void read(QLocalSocket *socket);

    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
};
