#include "FTPUtils.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>

#include "Format.h"

namespace ferrowin {
namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg) return WithSlash(xdg) + "ferrowin/";
  const char* home = std::getenv("HOME");
  return WithSlash(home && *home ? home : "/tmp") + ".config/ferrowin/";
}

std::string ExecutableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : WithSlash(exe.parent_path().string());
}

// Tracing state: one process-wide lock around the formatting and the write.
struct TTraceState {
  std::mutex Lock;
  std::atomic<bool> On{false};
  std::string Path;  // empty: Debug.txt in the program's files folder
  std::FILE* File = nullptr;
  std::chrono::steady_clock::time_point Previous;
  bool First = true;
  std::thread::id MainThread = std::this_thread::get_id();  // static init runs on main
};

// Never destroyed: a worker may still trace while the program exits.
TTraceState& Trace() {
  static TTraceState& state = *new TTraceState;
  return state;
}
// Makes sure the main thread's id is taken before any worker starts.
[[maybe_unused]] const bool TraceReady = (Trace(), true);

void CloseTraceFile(TTraceState& t) {
  if (t.File) std::fclose(t.File);
  t.File = nullptr;
}

std::string ThreadMarker(const TTraceState& t) {
  if (std::this_thread::get_id() == t.MainThread) return "\xC2\xB7 main \xC2\xB7";
  return Format("%0.8x", static_cast<long>(::syscall(SYS_gettid)));
}

std::string TimeOfDay() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Format("%0.2d:%0.2d:%0.2d", local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace

bool IsInstalledLayout(const std::string& programFolder) {
  fs::path folder(programFolder);
  if (!folder.has_filename()) folder = folder.parent_path();  // ".../bin/"
  std::error_code ec;
  return folder.filename() == "bin" && fs::is_directory(folder.parent_path() / "share" / "ferrowin", ec);
}

std::string ProgramFilesFolder() {
  std::string folder;
  if (const char* home = std::getenv("FERROWIN_HOME"); home && *home) {
    folder = WithSlash(home);
  } else {
    folder = ExecutableFolder();
    // An installed program (bin/ beside share/ferrowin/) keeps the user's files apart even
    // when root could write to its folder.
    if (folder.empty() || ::access(folder.c_str(), W_OK) != 0 || IsInstalledLayout(folder)) folder = ConfigFolder();
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  return folder;
}

void SetDebugTrace(bool on) {
  TTraceState& t = Trace();
  std::lock_guard lock(t.Lock);
  t.On = on;
  if (!on) CloseTraceFile(t);
}

bool DebugTraceOn() { return Trace().On.load(std::memory_order_relaxed); }

void SetDebugTraceFile(const std::string& path) {
  TTraceState& t = Trace();
  std::lock_guard lock(t.Lock);
  CloseTraceFile(t);
  t.Path = path;
  t.First = true;
}

void DebugTrace(std::string_view message) {
  TTraceState& t = Trace();
  if (!t.On) return;
  std::lock_guard lock(t.Lock);
  if (!t.File) {
    std::string path = t.Path.empty() ? ProgramFilesFolder() + "Debug.txt" : t.Path;
    t.File = std::fopen(path.c_str(), "ab");
    if (!t.File) return;
  }
  auto now = std::chrono::steady_clock::now();
  long long ms = t.First ? 0 : std::chrono::duration_cast<std::chrono::milliseconds>(now - t.Previous).count();
  t.First = false;
  t.Previous = now;
  std::string text(message);
  for (char& c : text)
    if (c == '\r' || c == '\n') c = '~';
  std::string line = Format("%s - %0.6dms - %s - %s\r\n", TimeOfDay(), ms, ThreadMarker(t), text);
  std::fwrite(line.data(), 1, line.size(), t.File);
  std::fflush(t.File);
}

}  // namespace ferrowin
