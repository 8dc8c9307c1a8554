#include "FileFlusher.h"

#include <fcntl.h>

namespace ferrowin {

TFileFlusher::TFileFlusher(int fd) : Fd(fd), Thread([this] { Run(); }) {}

TFileFlusher::~TFileFlusher() {
  {
    std::lock_guard guard(Lock);
    Stopping = true;
  }
  Wake.notify_one();
  Thread.join();
}

void TFileFlusher::Request() {
  {
    std::lock_guard guard(Lock);
    Wanted = true;
  }
  Wake.notify_one();
}

void TFileFlusher::Run() {
  std::unique_lock guard(Lock);
  for (;;) {
    Wake.wait(guard, [this] { return Wanted || Stopping; });
    if (!Wanted) return;
    Wanted = false;
    guard.unlock();
    ::sync_file_range(Fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    guard.lock();
  }
}

}  // namespace ferrowin
