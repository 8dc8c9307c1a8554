#include "ServerProcess.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace ferrowin::test {
namespace fs = std::filesystem;

std::string ServersFolder() { return FERROWIN_TEST_SERVERS_DIR; }

int ClosedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(fd);
  return ntohs(a.sin_port);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

TTempDir::TTempDir() {
  std::random_device random;
  fs::path base = fs::temp_directory_path();
  for (;;) {
    fs::path candidate = base / ("ferrowin-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      Folder = candidate.string();
      return;
    }
  }
}

TTempDir::~TTempDir() {
  std::error_code ec;
  fs::remove_all(Folder, ec);
}

TServerProcess::TServerProcess(const std::vector<std::string>& argv) {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  // The server's own messages stay out of the test's output (and a server left behind by a
  // crashed test cannot hold the test runner's pipe open).
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int rc = posix_spawn(&Child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    ::close(out[0]);
    throw std::runtime_error("cannot start " + argv[0]);
  }
  // Wait for "PORT <n>\n", at most 20 seconds.
  std::string text;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    char buffer[256];
    ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, n);
  }
  ::close(out[0]);
  if (text.rfind("PORT ", 0) != 0) {
    Stop();
    throw std::runtime_error("test server did not start: " + argv[0] + " " + (argv.size() > 1 ? argv[1] : ""));
  }
  ListenPort = std::atoi(text.c_str() + 5);
}

TServerProcess::~TServerProcess() { Stop(); }

void TServerProcess::Stop() {
  if (Child <= 0) return;
  ::kill(Child, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int status = 0;
  while (::waitpid(Child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(Child, SIGKILL);
      ::waitpid(Child, &status, 0);
      break;
    }
    ::poll(nullptr, 0, 10);
  }
  Child = -1;
}

namespace {
std::vector<std::string> PyFtpArguments(const std::string& root, const std::string& address, const std::string& cert,
                                        const std::string& key) {
  std::vector<std::string> argv{"/usr/bin/python3", ServersFolder() + "/pyftpd_server.py", root, TPyFtpServer::UserName,
                                TPyFtpServer::Password, address};
  if (!cert.empty()) argv.insert(argv.end(), {cert, key});
  return argv;
}
}  // namespace

TPyFtpServer::TPyFtpServer(const std::string& address, const std::string& cert, const std::string& key)
    : Process(PyFtpArguments(RootDir.Path(), address, cert, key)) {}

TFakeFtpServer::TFakeFtpServer(const std::string& scriptJson) : RecordPath(Dir.File("record.txt")) {
  std::ofstream(Dir.File("script.json")) << scriptJson;
  std::ofstream(RecordPath).flush();
  Process = std::make_unique<TServerProcess>(std::vector<std::string>{
      "/usr/bin/python3", ServersFolder() + "/fake_ftp_server.py", Dir.File("script.json"), RecordPath});
}

std::vector<std::string> TFakeFtpServer::Records() const {
  std::ifstream in(RecordPath);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> TFakeFtpServer::Received(int connection) const {
  std::vector<std::string> lines;
  const std::string prefix = std::to_string(connection) + "\t";
  for (const auto& record : Records())
    if (record.rfind(prefix, 0) == 0 && record != prefix + "#connect") lines.push_back(record.substr(prefix.size()));
  return lines;
}

int TFakeFtpServer::Connections() const {
  int count = 0;
  for (const auto& record : Records())
    if (record.size() > 8 && record.compare(record.size() - 8, 8, "#connect") == 0) ++count;
  return count;
}

}  // namespace ferrowin::test
