#pragma once

#include <QObject>
#include <QString>

#include <functional>
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

    // A second copy: hands the running copy the request to show its window and waits at most
    // answerMs for its answer. A first copy that is only starting has not opened its channel
    // yet: the request is tried again for up to startMs before the copy counts as unreachable.
    // A copy that takes the request but does not answer (hung, stopped) is told apart from one
    // that did. The running copy answers from its event loop, so the two cannot share a thread.
    enum class Asked { Answered, NoAnswer, NotReached };
    Asked askToShow(int answerMs = 2000, int startMs = 3000);
    // Called (on the asking thread) each time a try found no copy listening; for tests.
    void setRetryObserver(std::function<void()> observer) { m_retried = std::move(observer); }

Q_SIGNALS:
    // A second copy asked this one to show its window.
    void showRequested();

private:
    void accept();
    void read(QLocalSocket *socket);

    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_retried;
};
