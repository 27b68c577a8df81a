#pragma once

#include <QObject>
#include <QTimer>

// A periodic timer with the behaviour the program's loops rely on:
// - enabling a timer that is already enabled keeps its running interval (no restart);
// - changing the interval of a running timer restarts the count with the new interval,
//   setting the same interval again changes nothing;
// - an interval of 0 or less never fires.
class Timer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;

Q_SIGNALS:
    void timeout();
};

class QtTimer final : public Timer {
    Q_OBJECT
public:
    explicit QtTimer(QObject *parent = nullptr);
    void setEnabled(bool on) override;
    bool isEnabled() const override { return m_enabled; }
    void setInterval(int ms) override;
    int interval() const override { return m_interval; }

private:
    void restart();

    QTimer m_timer;
    bool m_enabled = false;
    int m_interval = 0;
};
