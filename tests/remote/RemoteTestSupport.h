#pragma once

#include "display/TestPictures.h"
#include "platform/FileBits.h"
#include "RecordedRemoteActions.h"
#include "remote/LayoutEditor.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteLayout.h"
#include "settings/INIFILES.h"
#include "settings/PlacedWindow.h"
#include "support/FakePlatform.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

// The remote window's place as the settings read and write it.
struct FakeRemoteWindow : PlacedWindow {
    Placement placement;
    QString placementName() const override { return "RemoteForm"; }
    Placement currentPlacement() const override { return placement; }
    bool isNormalState() const override { return true; }
    void applyPlacement(const Placement &p) override { placement = p; }
    void hideWindow() override {}
};

// A remote window's logic in a temporary program folder, with its requests recorded and a
// picture of 200 by 500 pixels, so that 1 percent is 2 pixels across and 5 pixels down.
struct RemoteRig : RecordedRemoteActions {
    FakePlatform platform;
    QTemporaryDir dir;
    INIFILES settings;
    RemoteLayout layout;
    LayoutEditor editor;
    FakeTimer *loseAid = nullptr;
    std::unique_ptr<RemoteControl> control;

    RemoteRig() {
        settings.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
        auto timer = platform.createTimer();
        loseAid = static_cast<FakeTimer *>(timer.get());
        control = std::make_unique<RemoteControl>(layout, editor, settings, std::move(timer));
        control->setActions(*this);
        control->setPictureSize(QSizeF(200, 500));
    }

    // A file of the program folder; an absolute name writes outside it.
    void write(const QString &name, const QString &text = "x") const {
        ASSERT_TRUE(FileBits::WriteWholeFile(QDir(dir.path()).filePath(name), text)) << name.toStdString();
    }
    QString read(const QString &name) const { return FileBits::ReadWholeFile(dir.filePath(name)); }

    // A press at a place given in percent of the picture.
    void press(double yp, double xp, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QSizeF size = control->pictureSize();
        control->RemoteImage_MouseDown(button, modifiers, QPointF(size.width() * xp / 100, size.height() * yp / 100));
    }
    QString panel(int n) const { return control->statusPanels()[size_t(n)]; }
};
