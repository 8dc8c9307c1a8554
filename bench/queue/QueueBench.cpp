// Drives the transfer queue headless for bench/queue:
//   queue_bench file HOST PORT USER PASSWORD /remote/file LOCALDIR   one download through the queue
//   queue_bench tree HOST PORT USER PASSWORD FOLDER LOCALDIR          a remote folder, recursively, through the views
//   queue_bench pending COUNT                                         memory of COUNT pending items
// Prints one line of figures; exit status 1 when an item did not end Done.

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "Options.h"
#include "QtMessageWindow.h"
#include "Transfer.h"
#include "ViewTestWindow.h"

using namespace ferrowin;

namespace {

long RssKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") return (status >> value) ? value : 0;
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

void RunUntil(const std::function<bool()>& done) {
  QEventLoop loop;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  tick.start(2);
  loop.exec();
}

bool Idle(const TTransferItems& q) { return q.StateCount[isPending] == 0 && q.StateCount[isBusy] == 0; }

int Report(const TTransferItems& q, double seconds) {
  std::printf("items %d done %d bytes %lld seconds %.3f\n", q.Count(), q.StateCount[isDone],
              static_cast<long long>(q.BytesDone), seconds);
  return q.StateCount[isDone] == q.Count() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallQtMessageWindows();
  const std::string mode = argc > 1 ? argv[1] : "";
  TPreferences prefs;
  prefs.UsePASV = true;
  prefs.SingleConnectionsOnly = mode == "tree";
  TTransferItemsList list(&prefs);
  const auto start = std::chrono::steady_clock::now();
  auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  if (mode == "pending" && argc == 3) {
    TTransferItems& q = list.CreateQueue("bench");
    const long before = RssKiB();
    TTransferEntry e;
    e.Host = "127.0.0.1";
    e.Port = 1;  // nothing listens: the first item tries to log on, the rest wait
    e.DestFolder = "/tmp/";
    for (int i = 0; i < std::stoi(argv[2]); ++i) {
      e.SourceName = "file" + std::to_string(i);
      q.AddEntry(e);
    }
    std::printf("pending %d rss_growth_kib %ld\n", q.StateCount[isPending], RssKiB() - before);
    return 0;
  }
  if (argc != 8) {
    std::fprintf(stderr, "usage: queue_bench file|tree HOST PORT USER PASSWORD PATH LOCALDIR | pending COUNT\n");
    return 2;
  }
  const std::string host = argv[2], user = argv[4], password = argv[5], path = argv[6], local = argv[7];
  const int port = std::stoi(argv[3]);
  if (mode == "file") {
    TTransferItems& q = list.CreateQueue("bench");
    TTransferEntry e;
    e.Host = host;
    e.Port = static_cast<std::uint32_t>(port);
    e.UserID = user;
    e.Password = password;
    e.SourceFolder = path.substr(0, path.rfind('/') + 1);
    e.SourceName = path.substr(path.rfind('/') + 1);
    e.DestFolder = local + "/";
    q.AddEntry(e);
    RunUntil([&] { return Idle(q); });
    return Report(q, seconds());
  }
  TViewTestWindow window(&prefs);
  THostView& view = window.Host();
  view.ConnectHost(host, port, "", "/", "", password, user);
  RunUntil([&] { return view.CachedListing("/") && !view.ChangingFolder() && view.ListView()->ItemCount() > 0; });
  window.Local().ChangeFolderWait(local);
  for (int row = 0; row < view.ListView()->ItemCount(); ++row)
    view.ListView()->SetSelected(row, view.GetItemName(row) == path);
  view.TransferTo(&window.Local());
  TTransferItems& q = list.Queue(0);
  RunUntil([&] { return Idle(q); });
  return Report(q, seconds());
}
