#include "TransferStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FTPCompErrors.h"
#include "Format.h"

namespace ferrowin {
namespace {

[[noreturn]] void Fail(const char* what, const std::string& path) {
  throw EStreamError(Format("%s \"%s\". %s", what, path, std::strerror(errno)));
}

}  // namespace

TFileStream::TFileStream(const std::string& path, TFileMode mode) : Path(path), Mode(mode) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case TFileMode::Create: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case TFileMode::Append: flags |= O_WRONLY; break;  // resuming: the file must be there
    case TFileMode::Read: flags |= O_RDONLY; break;
  }
  Fd = ::open(path.c_str(), flags, 0644);
  if (Fd < 0) Fail(mode == TFileMode::Create ? "Cannot create file" : "Cannot open file", path);
  if (mode == TFileMode::Append) {
    Offset = ::lseek(Fd, 0, SEEK_END);
    if (Offset < 0) Fail("Cannot open file", path);
  }
}

TFileStream::~TFileStream() {
  if (Fd >= 0) ::close(Fd);
}

std::size_t TFileStream::Read(char* buffer, std::size_t count) {
  for (;;) {
    ssize_t n = ::read(Fd, buffer, count);
    if (n >= 0) {
      Offset += n;
      return static_cast<std::size_t>(n);
    }
    if (errno != EINTR) Fail("Read error on", Path);
  }
}

void TFileStream::Write(const char* data, std::size_t count) {
  while (count > 0) {
    ssize_t n = ::write(Fd, data, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Write error on", Path);
    }
    data += n;
    count -= static_cast<std::size_t>(n);
    Offset += n;
  }
}

std::int64_t TFileStream::Size() const {
  struct stat st {};
  return ::fstat(Fd, &st) == 0 ? st.st_size : 0;
}

void TFileStream::Restart(std::int64_t offset) {
  // A download that starts again must not keep the old tail beyond what it writes.
  if (Mode != TFileMode::Read && ::ftruncate(Fd, offset) != 0) Fail("Cannot truncate", Path);
  if (::lseek(Fd, offset, SEEK_SET) < 0) Fail("Cannot seek in", Path);
  Offset = offset;
}

void TFileStream::Flush() {
  // Start writing back what arrived so far; a broken transfer keeps what was reported.
  ::sync_file_range(Fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

void TMemoryStream::Write(const char* data, std::size_t count) {
  if (count > Limit - Data.size()) throw EStreamError(Overflow);
  Data.append(data, count);
}

std::size_t TMemoryStream::Read(char* buffer, std::size_t count) {
  std::size_t n = std::min<std::size_t>(count, Data.size() - ReadPos);
  std::memcpy(buffer, Data.data() + ReadPos, n);
  ReadPos += n;
  return n;
}

void TMemoryStream::Restart(std::int64_t offset) {
  Data.resize(static_cast<std::size_t>(offset));
  ReadPos = 0;
}

}  // namespace ferrowin
