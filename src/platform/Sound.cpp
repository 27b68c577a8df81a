#include "platform/Sound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() {
    qDeleteAll(m_effects);
}

void QtSoundPlayer::play(const QString &wavPath) {
    const QFileInfo info(wavPath);
    if (!info.isFile() || info.size() == 0) {
        return;
    }
    if (!m_audioChecked) {
        // Without an output device a sound effect never finishes loading, and deleting it
        // then waits for the loader for ever: such a machine stays silent instead.
        m_audioChecked = true;
        m_audioAvailable = !QMediaDevices::audioOutputs().isEmpty();
    }
    if (!m_audioAvailable) {
        return;
    }
    QSoundEffect *&effect = m_effects[info.absoluteFilePath()];
    if (!effect) {
        // Loading is asynchronous; a file that fails to decode ends in the Error status and
        // plays nothing.
        effect = new QSoundEffect();
        effect->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    }
    if (effect->status() == QSoundEffect::Error) {
        return;
    }
    effect->play();
}
