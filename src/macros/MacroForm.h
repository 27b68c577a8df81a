#pragma once

#include <QWidget>

class MacroRunner;
class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QStatusBar;

// The macro window: the trace of the runner (MacroText), the steps of the macro shown
// (MacroStepList) and the "Include RX" box. It renders the runner's data and forwards the
// user's double clicks; the runner and its timers keep running while the window is hidden.
class MacroForm : public QWidget {
    Q_OBJECT
public:
    explicit MacroForm(MacroRunner &runner, QWidget *parent = nullptr);
    ~MacroForm() override;

    QPlainTextEdit *MacroText() const { return m_text; }
    QListWidget *MacroStepList() const { return m_steps; }
    QCheckBox *IncludeTheRx() const { return m_includeRx; }

    // Shows the runner's step list, selection and check box.
    void render();
    // Whether the window was ever on screen: only then is its placement worth keeping.
    bool everShown() const { return m_everShown; }

Q_SIGNALS:
    // The user closes the window: its placement is stored, the window only hides.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void appendTrace(const QString &text);
    void resetTrace();
    void layOut();

    MacroRunner &m_runner;
    QPlainTextEdit *m_text = nullptr;
    QListWidget *m_steps = nullptr;
    QCheckBox *m_includeRx = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QStringList m_shownSteps;
    bool m_rendering = false;
    bool m_everShown = false;
    bool m_pendingLineFeed = false; // the last text shown ended in a CR whose LF may follow
};
