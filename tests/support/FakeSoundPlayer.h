#pragma once

#include "platform/Sound.h"

#include <QString>
#include <QStringList>

// Records what would have played.
class FakeSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &wavPath) override { played << wavPath; }
    QStringList played;
};
