#include "SoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace ferrowin {

TSoundPlayer::TSoundPlayer() = default;
TSoundPlayer::~TSoundPlayer() = default;

void TSoundPlayer::Play(const std::string& fileName) {
  QString path = QString::fromStdString(fileName);
  if (path.isEmpty() || !QFileInfo(path).isFile()) return;
  if (!FEffect) FEffect = std::make_unique<QSoundEffect>();
  FEffect->stop();
  // QSoundEffect loads on its own and starts once loaded; play() before that is remembered.
  FEffect->setSource(QUrl::fromLocalFile(path));
  FEffect->play();
}

bool TSoundPlayer::Loading() const { return FEffect && FEffect->status() == QSoundEffect::Loading; }

void TSoundPlayer::Stop() {
  if (FEffect) FEffect->stop();
}

}  // namespace ferrowin
