#include "widgets/QtSoundPlayer.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : QObject(parent)
{}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::play(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        QApplication::beep();
        return;
    }
    if (!m_effect || m_loadedPath != path) {
        m_effect = std::make_unique<QSoundEffect>();
        connect(m_effect.get(), &QSoundEffect::statusChanged, this, &QtSoundPlayer::onStatusChanged);
        m_loadedPath = path;
        m_playWhenLoaded = true;
        m_effect->setSource(QUrl::fromLocalFile(path));
        return;
    }
    switch (m_effect->status()) {
    case QSoundEffect::Ready:
        m_effect->play();
        break;
    case QSoundEffect::Loading:
        m_playWhenLoaded = true;
        break;
    default:
        QApplication::beep();
    }
}

void QtSoundPlayer::onStatusChanged()
{
    if (m_effect->status() == QSoundEffect::Ready && m_playWhenLoaded) {
        m_playWhenLoaded = false;
        m_effect->play();
    } else if (m_effect->status() == QSoundEffect::Error) {
        m_playWhenLoaded = false;
        QApplication::beep();
    }
}
