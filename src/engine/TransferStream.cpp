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

// The folder of a file not there yet can take it.
bool FolderTakesNewFile(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

TFileStream::TFileStream(const std::string& path, TFileMode mode) : Path(path), Mode(mode) {
  Fd = ::open(path.c_str(), O_CLOEXEC | (mode == TFileMode::Read ? O_RDONLY : O_WRONLY));
  if (mode == TFileMode::Create) {
    CutAt = 0;
    if (Fd < 0 && (errno != ENOENT || !FolderTakesNewFile(path))) Fail("Cannot create file", path);
    return;
  }
  if (Fd < 0) Fail("Cannot open file", path);  // resuming or uploading: the file must be there
  if (mode == TFileMode::Append) {
    Offset = ::lseek(Fd, 0, SEEK_END);
    if (Offset < 0) Fail("Cannot open file", path);
  }
}

TFileStream::~TFileStream() {
  if (Fd >= 0) ::close(Fd);
  if (MadeEarly && !Begun) ::unlink(Path.c_str());  // refused: as if never asked
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
  return Fd >= 0 && ::fstat(Fd, &st) == 0 ? st.st_size : 0;
}

void TFileStream::Restart(std::int64_t offset) {
  if (Mode != TFileMode::Read) {
    // A download that starts again must not keep the old tail beyond what it writes; the
    // cut waits for the server to accept the transfer.
    CutAt = offset;
    if (Begun) Begin();
    return;
  }
  if (::lseek(Fd, offset, SEEK_SET) < 0) Fail("Cannot seek in", Path);
  Offset = offset;
}

void TFileStream::Asked() {
  // Creating a file can take as long as the server's answer (a folder just emptied), so it
  // is done while the server answers. Only a new file: nothing that is there is touched.
  if (Mode != TFileMode::Create || Fd >= 0 || CutAt != 0) return;
  Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  MadeEarly = Fd >= 0;
}

void TFileStream::Begin() {
  Begun = true;
  if (CutAt < 0) return;
  if (MadeEarly && CutAt == 0) {
    CutAt = -1;  // new and empty
    return;
  }
  if (Fd < 0) {
    Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (Fd < 0) Fail("Cannot create file", Path);
  } else if (::ftruncate(Fd, CutAt) != 0) {
    Fail("Cannot truncate", Path);
  }
  if (::lseek(Fd, CutAt, SEEK_SET) < 0) Fail("Cannot seek in", Path);
  Offset = CutAt;
  CutAt = -1;
}

std::size_t TTextStream::Read(char* buffer, std::size_t count) {
  // Every byte read may double, so read half of what fits (callers pass large buffers).
  Piece.resize(count / 2);
  const std::size_t n = File.Read(Piece.data(), Piece.size());
  std::size_t out = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (Piece[i] == '\n') buffer[out++] = '\r';
    buffer[out++] = Piece[i];
  }
  return out;
}

void TTextStream::Write(const char* data, std::size_t count) {
  Piece.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const char c = data[i];
    if (HeldCR && c != '\n') Piece += '\r';
    HeldCR = c == '\r';
    if (!HeldCR) Piece += c;
  }
  File.Write(Piece.data(), Piece.size());
}

void TTextStream::Finish() {
  if (HeldCR) File.Write("\r", 1);
  HeldCR = false;
}

void TTextStream::Restart(std::int64_t offset) {
  HeldCR = false;
  File.Restart(offset);
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
