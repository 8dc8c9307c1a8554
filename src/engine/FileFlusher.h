#pragma once
// Pushes a file's written pages towards the disk on a thread of its own. Starting write-back
// of hundreds of megabytes can block for a long time, and a transfer must not wait on it.

#include <condition_variable>
#include <mutex>
#include <thread>

namespace ferrowin {

class TFileFlusher {
 public:
  explicit TFileFlusher(int fd);
  // Finishes the write-back asked for last; the descriptor must stay open until then.
  ~TFileFlusher();
  TFileFlusher(const TFileFlusher&) = delete;
  TFileFlusher& operator=(const TFileFlusher&) = delete;

  // Starts write-back of everything written so far, without waiting for it.
  void Request();

 private:
  void Run();

  int Fd;
  std::mutex Lock;
  std::condition_variable Wake;
  bool Wanted = false;
  bool Stopping = false;
  std::thread Thread;  // last: it starts once the rest is ready
};

}  // namespace ferrowin
