#pragma once
// Event sounds: played asynchronously, one at a time, and silently skipped when the file
// cannot be played or the system has no sound device. No system sound stands in.

#include <memory>
#include <string>

class QSoundEffect;

namespace ferrowin {

class TSoundPlayer {
 public:
  TSoundPlayer();
  ~TSoundPlayer();
  TSoundPlayer(const TSoundPlayer&) = delete;
  TSoundPlayer& operator=(const TSoundPlayer&) = delete;

  // Starts playing the file (stopping what plays); an empty path or a missing file does nothing.
  void Play(const std::string& fileName);
  void Stop();
  // Whether a file is still being read before it can play.
  [[nodiscard]] bool Loading() const;

 private:
  std::unique_ptr<QSoundEffect> FEffect;  // created on first use
};

}  // namespace ferrowin
