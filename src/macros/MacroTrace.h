#pragma once

#include <QObject>
#include <QString>

// The account of a macro run that the macro window shows: what each step did, the run's
// restarts, and (when asked for) the radio's traffic. It keeps its newest part only, so a run
// of hours does not grow it without bound.
class MacroTrace : public QObject {
    Q_OBJECT
public:
    // Past Limit characters the trace is cut back to its last Kept characters.
    static constexpr qsizetype Limit = 200000;
    static constexpr qsizetype Kept = 150000;

    // Appends; "" empties the trace. A text starting with CR LF after a trace ending with one
    // loses that CR LF, so separate traces do not leave blank lines between them.
    void add(const QString &text);
    const QString &text() const { return m_text; }

    // A restart writes "MACRO RESTARTED"; the run's account then starts over after it.
    bool restarted() const;
    // Drops everything up to the end of the restart line.
    void dropBeforeRestart();

Q_SIGNALS:
    // Text was added at the end; windows append it.
    void appended(const QString &text);
    // The trace was emptied or cut; windows show text() anew.
    void reset();

private:
    void set(const QString &text);

    QString m_text;
};
