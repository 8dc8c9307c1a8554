// How long the host view takes with a folder of 100,000 entries: showing the cached listing,
// sorting by each column and selecting all, offscreen. A small loopback FTP server in this
// program serves the listing once; the figures are for the cached folder shown again.
//
// Usage: views_bench [entries]

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "FTPCompThread.h"
#include "QtMessageWindow.h"
#include "ViewTestWindow.h"

namespace {

using namespace ferrowin;

int Listen(int& port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::listen(s, 4);
  socklen_t len = sizeof a;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return s;
}

void SendAll(int s, const std::string& text) {
  for (std::size_t sent = 0; sent < text.size();) {
    ssize_t n = ::send(s, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

std::string MakeListing(int entries) {
  static const char* const extensions[] = {"txt", "bin", "jpg", "html", "c", "tar.gz", "pdf", "xyz"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string text;
  text.reserve(static_cast<std::size_t>(entries) * 70);
  char line[160];
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
  for (int i = 0; i < entries; ++i) {
    const bool folder = i % 100 == 0;
    if (folder)
      std::snprintf(line, sizeof line, "drwxr-xr-x   2 user  group      4096 %s %2u  2021 dir%06d\r\n",
                    months[next() % 12], next() % 28 + 1, i);
    else
      std::snprintf(line, sizeof line, "-rw-r--r--   1 user  group  %8u %s %2u %02u:%02u File%06d.%s\r\n", next() % 5000000,
                    months[next() % 12], next() % 28 + 1, next() % 24, next() % 60, i, extensions[next() % 8]);
    text += line;
  }
  return text;
}

// One control connection, passive mode only; enough for login, folder changes and LIST.
void Serve(int listener, const std::string* listing, std::atomic<bool>* stop) {
  int c = ::accept(listener, nullptr, nullptr);
  SendAll(c, "220 Bench server ready.\r\n");
  std::string cwd = "/", buffer;
  int data = -1;
  char chunk[4096];
  while (!*stop) {
    ssize_t n = ::recv(c, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    buffer.append(chunk, static_cast<std::size_t>(n));
    for (std::size_t eol; (eol = buffer.find("\r\n")) != std::string::npos;) {
      const std::string line = buffer.substr(0, eol);
      buffer.erase(0, eol + 2);
      const std::string verb = line.substr(0, line.find(' '));
      if (verb == "USER") SendAll(c, "331 Password.\r\n");
      else if (verb == "PASS") SendAll(c, "230 Logged in.\r\n");
      else if (verb == "SYST") SendAll(c, "215 UNIX Type: L8\r\n");
      else if (verb == "REST") SendAll(c, "350 Restarting.\r\n");
      else if (verb == "TYPE" || verb == "NOOP") SendAll(c, "200 OK.\r\n");
      else if (verb == "PWD") SendAll(c, "257 \"" + cwd + "\" is current.\r\n");
      else if (verb == "CWD") {
        cwd = line.substr(4);
        if (cwd.size() > 1 && cwd.back() == '/') cwd.pop_back();
        SendAll(c, "250 OK.\r\n");
      } else if (verb == "PASV") {
        int port = 0;
        data = Listen(port);
        SendAll(c, "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," +
                       std::to_string(port % 256) + ").\r\n");
      } else if (verb == "LIST") {
        SendAll(c, "150 Listing.\r\n");
        int d = ::accept(data, nullptr, nullptr);
        SendAll(d, cwd == "/" ? *listing : std::string("-rw-r--r-- 1 u g 5 Jan 05 10:30 small.txt\r\n"));
        ::close(d);
        ::close(data);
        SendAll(c, "226 Done.\r\n");
      } else if (verb == "QUIT") {
        SendAll(c, "221 Bye.\r\n");
        ::close(c);
        return;
      } else {
        SendAll(c, "502 Not implemented.\r\n");
      }
    }
  }
  ::close(c);
}

bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > 120000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return true;
}

// Runs what the window has to do after an operation (layout, painting) and reports both.
void Measure(const char* what, const std::function<void()>& operation) {
  QElapsedTimer t;
  t.start();
  operation();
  const double op = t.nsecsElapsed() / 1e6;
  QCoreApplication::processEvents();
  const double total = t.nsecsElapsed() / 1e6;
  std::printf("%-28s %8.1f ms  (with layout and painting %8.1f ms)\n", what, op, total);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  QApplication app(argc, argv);
  InstallQtMessageWindows();
  const std::string listing = MakeListing(entries);
  int port = 0;
  int listener = Listen(port);
  std::atomic<bool> stop{false};
  std::thread server(Serve, listener, &listing, &stop);

  auto window = std::make_unique<TViewTestWindow>();
  window->resize(1000, 700);
  window->show();
  window->SetViewStyle(TViewStyle::Report);
  THostView& host = window->Host();
  host.FTP().SetPassive(true);
  QElapsedTimer first;
  first.start();
  host.ConnectHost("127.0.0.1", port, "", "/", "", "pw", "bench");
  if (!WaitFor([&] { return host.ListView()->ItemCount() == entries; })) {
    std::fprintf(stderr, "the listing did not arrive\n");
    return 1;
  }
  std::printf("%d entries: first listing received, parsed and shown in %.0f ms\n", entries,
              static_cast<double>(first.elapsed()));
  if (!host.ChangeFolderWait("/other/")) return 1;

  Measure("fill from the cache", [&] { host.ChangeFolder("/"); });
  if (host.ListView()->ItemCount() != entries) return 1;
  const char* const columns[] = {"sort by Name (descending)", "sort by Size", "sort by Type", "sort by Modified"};
  for (int column = 0; column < 4; ++column) Measure(columns[column], [&] { host.ColumnClick(column); });
  Measure("select all + status", [&] {
    host.SelectAll();
    host.UpdateStatus();
  });
  if (host.ListView()->SelCount() != entries) return 1;
  Measure("invert selection + status", [&] {
    host.InvertSelection();
    host.UpdateStatus();
  });
  for (auto [style, name] : {std::pair{TViewStyle::List, "switch to list style"},
                             {TViewStyle::SmallIcon, "switch to small icons"},
                             {TViewStyle::Icon, "switch to large icons"}})
    Measure(name, [&, style = style] { window->SetViewStyle(style); });

  host.Disconnect();
  WaitFor([&] { return !host.Connected(); });
  window.reset();
  stop = true;
  server.join();
  ::close(listener);
  TFTPThread::WaitForWorkers(std::chrono::seconds(10));
  return 0;
}
