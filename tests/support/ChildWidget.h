#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

// A control of a window found by its object name, as a user finds it by its place: windows
// do not hand out their controls. A name that is not there ends the test at once.
template <class W>
W *ChildWidget(const QWidget &window, const QString &name) {
    W *child = window.findChild<W *>(name);
    if (child == nullptr) {
        qFatal("%s has no control named %s", qPrintable(window.objectName()), qPrintable(name));
    }
    return child;
}
