#pragma once

#include <QtGlobal>

// The [Timeouts] section: read at start and on Reload, never written by the program.
struct Timeouts {
    float Connect = 0.5f;           // seconds to wait for a connection to open
    float ReplyWaitMax = 10.0f;     // seconds the link may wait for a slow radio's answer, at most
    float KeyTimeLimit = 5.0f;      // seconds a key press may wait to go to the radio before it is dropped
    qint16 PollWhenOn = 10;         // display refresh ticks between two automatic polls
    qint16 PollWhenOff = 60;        // the same while the radio is in standby
    qint16 CheckAllOn = 10;         // automatic polls between two full refreshes
    qint16 CheckAllOff = 60;        // the same while the radio is in standby
    qint16 MacroStepInterval = 5;   // ms between two macro steps
    qint16 MacroStepTimeout = 1000; // ms a macro step waits for the radio's answer
};
