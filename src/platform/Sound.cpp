#include "platform/Sound.h"

#include <QFileInfo>
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
