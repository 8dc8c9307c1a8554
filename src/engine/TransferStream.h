#pragma once
// What a data transfer reads from or writes to: a local file or a memory buffer.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace ferrowin {

class TTransferStream {
 public:
  virtual ~TTransferStream() = default;
  // Both throw EStreamError on failure. Read returns 0 at the end.
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;
  virtual void Write(const char* data, std::size_t count) = 0;
  [[nodiscard]] virtual std::int64_t Position() const = 0;
  [[nodiscard]] virtual std::int64_t Size() const = 0;
  // Moves to offset; a stream being written loses what lies after it (once begun).
  virtual void Restart(std::int64_t offset) = 0;
  // The transfer has been asked for and the server is answering: a local file that is not
  // there yet may be made meanwhile. It is removed again unless Begin() follows.
  virtual void Asked() {}
  // The server has accepted the transfer: only from now on may the local file change.
  virtual void Begin() {}
  // All the data has arrived (a receiving stream writes out what it held back).
  virtual void Finish() {}
  [[nodiscard]] virtual bool IsFile() const { return false; }
  // True once the stream wants no more data (an HTTP body of known length).
  [[nodiscard]] virtual bool Finished() const { return false; }
};

// Create: a download that replaces the file; Append: a resumed download; Read: an upload.
enum class TFileMode { Create, Append, Read };

// A local file, written straight through to the system (no buffer of our own to lose).
// A file being downloaded is opened (or found creatable) at once, so a local problem shows
// before the server is asked; an existing file is truncated or cut back only at Begin(), and
// a new one made while the server answers is removed if it refuses, so a refused download
// leaves the local side exactly as it was.
class TFileStream final : public TTransferStream {
 public:
  TFileStream(const std::string& path, TFileMode mode);
  ~TFileStream() override;
  std::size_t Read(char* buffer, std::size_t count) override;
  void Write(const char* data, std::size_t count) override;
  [[nodiscard]] std::int64_t Position() const override { return Offset; }
  [[nodiscard]] std::int64_t Size() const override;
  void Restart(std::int64_t offset) override;
  void Asked() override;
  void Begin() override;
  [[nodiscard]] bool IsFile() const override { return true; }

 private:
  std::string Path;
  TFileMode Mode;
  int Fd = -1;
  std::int64_t Offset = 0;
  std::int64_t CutAt = -1;  // where Begin() cuts the file; -1: it stays as it is
  bool Begun = false;
  bool MadeEarly = false;  // created by Asked(): ours to remove if the server refuses
};

// Text (ASCII) mode over a local file: CR LF on the wire, LF in the file. Positions and
// sizes are those of the local file, so resume offsets and progress follow it.
class TTextStream final : public TTransferStream {
 public:
  explicit TTextStream(TTransferStream& file) : File(file) {}
  std::size_t Read(char* buffer, std::size_t count) override;  // LF becomes CR LF
  void Write(const char* data, std::size_t count) override;   // CR LF becomes LF
  [[nodiscard]] std::int64_t Position() const override { return File.Position(); }
  [[nodiscard]] std::int64_t Size() const override { return File.Size(); }
  void Restart(std::int64_t offset) override;
  void Asked() override { File.Asked(); }
  void Begin() override { File.Begin(); }
  void Finish() override;
  [[nodiscard]] bool IsFile() const override { return File.IsFile(); }

 private:
  TTransferStream& File;
  bool HeldCR = false;  // a CR that ended the last piece received: its LF may follow
  std::string Piece;
};

// A buffer that received data is appended to (listings, HTTP headers).
class TMemoryStream final : public TTransferStream {
 public:
  TMemoryStream() = default;
  // A buffer that holds at most limit bytes: more is an EStreamError with that message.
  TMemoryStream(std::size_t limit, std::string overflow) : Limit(limit), Overflow(std::move(overflow)) {}
  std::size_t Read(char* buffer, std::size_t count) override;
  void Write(const char* data, std::size_t count) override;
  [[nodiscard]] std::int64_t Position() const override { return static_cast<std::int64_t>(Data.size()); }
  [[nodiscard]] std::int64_t Size() const override { return static_cast<std::int64_t>(Data.size()); }
  void Restart(std::int64_t offset) override;
  std::string Data;

 private:
  std::size_t ReadPos = 0;
  std::size_t Limit = std::string::npos;
  std::string Overflow;
};

}  // namespace ferrowin
