#pragma once

#include <QMainWindow>

#include <array>

class ConsoleMonitor;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QPlainTextEdit;
class QWidget;

// The console window: the radio's raw debug console on the left, the summary of what is
// playing and the list of fetches beside it, and a status bar of three panels. It renders a
// ConsoleMonitor and forwards clicks and typed characters; the rules live in the monitor.
class ConsoleForm : public QMainWindow {
    Q_OBJECT
public:
    // The raw view shows a longer console line in pieces of this many characters.
    static constexpr int FoldLength = 4000;

    explicit ConsoleForm(QWidget *parent = nullptr);
    ~ConsoleForm() override;

    QPlainTextEdit *ConsoleText() const { return m_consoleText; }
    QPlainTextEdit *ConsoleCaptureText() const { return m_captureText; }
    QListWidget *TheCurlList() const { return m_curlList; }
    QPushButton *ConnectButton() const { return m_connect; }
    QLabel *StatusPanel(int panel) const { return m_panels.at(size_t(panel - 1)); } // 1..3

    void render(const ConsoleMonitor &monitor);

Q_SIGNALS:
    void consoleTextDoubleClicked();
    void connectClicked();
    void captureTextDoubleClicked();
    void panelClicked(int panel);
    void panelDoubleClicked(int panel);
    // Characters typed while the console text has the focus.
    void typed(const QString &text);
    // The console's address or port fields were edited: both as they now read.
    void addressEdited(const QString &host, const QString &port);
    // The user closed the window.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showConsoleText(const ConsoleMonitor &monitor);
    // The raw text as the view shows it: one line break for each kind of line end, and lines
    // longer than FoldLength folded.
    QString shownText(QStringView raw);
    void showCurls(const ConsoleMonitor &monitor);

    QPushButton *m_connect = nullptr;
    QLineEdit *m_host = nullptr;
    QLineEdit *m_port = nullptr;
    QPlainTextEdit *m_consoleText = nullptr;
    QPlainTextEdit *m_captureText = nullptr;
    QListWidget *m_curlList = nullptr;
    QWidget *m_sideColumn = nullptr;
    std::array<QLabel *, 3> m_panels{};
    // What the views show, in the monitor's counts, so that a render adds only what is new.
    qint64 m_textShown = 0;
    int m_textClearsShown = -1;
    bool m_textEndsInCR = false;
    int m_lastLineLength = 0;
    qint64 m_curlsShown = 0;
    QString m_captureShown;
    int m_shownColour = -1;
};
