#pragma once
// Test servers on 127.0.0.1: started as child processes, waited for until they announce
// their port, and stopped by PID when the fixture ends.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace ferrowin::test {

// A temporary folder, removed with its content at the end.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  [[nodiscard]] const std::string& Path() const { return Folder; }
  [[nodiscard]] std::string File(const std::string& name) const { return Folder + "/" + name; }

 private:
  std::string Folder;
};

class TServerProcess {
 public:
  // Runs argv and waits for its "PORT <n>" line.
  explicit TServerProcess(const std::vector<std::string>& argv);
  ~TServerProcess();
  TServerProcess(const TServerProcess&) = delete;
  TServerProcess& operator=(const TServerProcess&) = delete;
  [[nodiscard]] int Port() const { return ListenPort; }
  [[nodiscard]] pid_t Pid() const { return Child; }
  void Stop();

 private:
  pid_t Child = -1;
  int ListenPort = 0;
};

// pyftpdlib over a temporary folder with the user "tester"/"secret" and anonymous access,
// listening on 127.0.0.1 or on the address given ("::1").
class TPyFtpServer {
 public:
  // With a certificate and key the server offers AUTH TLS.
  explicit TPyFtpServer(const std::string& address = "127.0.0.1", const std::string& cert = "",
                        const std::string& key = "");
  [[nodiscard]] int Port() const { return Process.Port(); }
  [[nodiscard]] std::string Root() const { return RootDir.Path(); }
  [[nodiscard]] std::string RootFile(const std::string& name) const { return RootDir.File(name); }
  static constexpr const char* UserName = "tester";
  static constexpr const char* Password = "secret";

 private:
  TTempDir RootDir;
  TServerProcess Process;
};

// The scripted server: plays a JSON dialogue (see fake_ftp_server.py) and records what it got.
class TFakeFtpServer {
 public:
  explicit TFakeFtpServer(const std::string& scriptJson);
  [[nodiscard]] int Port() const { return Process->Port(); }
  // Every line received so far, as "<connection>\t<line>"; connections also give "#connect".
  [[nodiscard]] std::vector<std::string> Records() const;
  // The lines received on one connection, without the "#connect" marker.
  [[nodiscard]] std::vector<std::string> Received(int connection = 0) const;
  [[nodiscard]] int Connections() const;
  [[nodiscard]] std::string TempFile(const std::string& name) const { return Dir.File(name); }

 private:
  TTempDir Dir;
  std::string RecordPath;
  std::unique_ptr<TServerProcess> Process;
};

// A loopback port on which nothing listens.
int ClosedPort();

// The folder of the test server scripts.
std::string ServersFolder();

// A whole file as bytes ("" when it cannot be read), and a file written with these bytes.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

}  // namespace ferrowin::test
