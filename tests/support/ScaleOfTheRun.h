#pragma once

#include <QString>
#include <QtGlobal>

// The device pixels per pixel the test runs at: QT_SCALE_FACTOR, else 1.
inline qreal ScaleOfTheRun() {
    bool ok = false;
    const qreal factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && factor > 0 ? factor : 1.0;
}
