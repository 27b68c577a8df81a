#pragma once

#include "remote/RemoteControl.h"

#include <QStringList>

// What the remote window asks of the program, recorded.
struct RecordedRemoteActions : RemoteActions {
    QStringList sent;
    QStringList selected;
    int connects = 0;
    int disconnects = 0;
    int loaded = 0;
    bool keepConnected = false;
    QStringList waiting;

    void sendKey(const QString &command) override { sent << command; }
    void connectRadio() override { ++connects; }
    void disconnectRadio() override { ++disconnects; }
    bool keepAsConnected() const override { return keepConnected; }
    QStringList waitingCommands() const override { return waiting; }
    void selectCommand(const QString &command) override { selected << command; }
    void layoutLoaded(RemoteControl &) override { ++loaded; }
};
