// The component facade: the keep-alive timer, its lifetime against a busy worker, and how
// commands are queued.

#include <algorithm>
#include <new>
#include <fstream>
#include <sstream>

#include "EngineTestSupport.h"
#include "FTPCompThread.h"
#include "FTPUtils.h"
#include "MessageWindow.h"

namespace ferrowin::test {
namespace {

using namespace std::chrono_literals;

// Windows that remember whether their timer runs, over the default pump.
struct TSpyWindow final : TMessageWindow {
  explicit TSpyWindow(std::unique_ptr<TMessageWindow> inner) : Inner(std::move(inner)) {
    Inner->OnMessage = [this](int code, std::unique_ptr<TEventRecord> r) {
      if (OnMessage) OnMessage(code, std::move(r));
    };
  }
  ~TSpyWindow() override { std::erase(Live(), this); }
  void Post(int code, std::unique_ptr<TEventRecord> record) override { Inner->Post(code, std::move(record)); }
  void StartTimer(std::chrono::milliseconds period) override {
    TimerOn = true;
    Period = period;
  }
  void StopTimer() override { TimerOn = false; }
  static std::vector<TSpyWindow*>& Live() {
    static std::vector<TSpyWindow*> live;
    return live;
  }
  std::unique_ptr<TMessageWindow> Inner;
  bool TimerOn = false;
  std::chrono::milliseconds Period{0};
};

class Component : public TEngineTest {
 protected:
  void SetUp() override {
    TEngineTest::SetUp();
    SetMessageWindowFactory([] {
      auto w = std::make_unique<TSpyWindow>(TMessagePump::Default().CreateWindow());
      TSpyWindow::Live().push_back(w.get());
      return std::unique_ptr<TMessageWindow>(std::move(w));
    });
  }
  void TearDown() override {
    SetMessageWindowFactory(nullptr);
    TEngineTest::TearDown();
  }
  static std::vector<bool> Timers() {
    std::vector<bool> on;
    for (auto* w : TSpyWindow::Live()) on.push_back(w->TimerOn);
    return on;
  }
};

TEST_F(Component, KeepAliveTimerLivesOnTheFirstComponentAndMovesOn) {
  auto first = std::make_unique<TFTPComponent>();
  auto second = std::make_unique<TFTPComponent>();
  auto third = std::make_unique<TFTPComponent>();
  EXPECT_EQ(Timers(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(TSpyWindow::Live()[0]->Period, 10000ms);
  second.reset();
  EXPECT_EQ(Timers(), (std::vector<bool>{true, false}));
  first.reset();
  EXPECT_EQ(Timers(), (std::vector<bool>{true}));
  EXPECT_EQ(TFTPComponent::FTPComponents().size(), 1u);
  third.reset();
  EXPECT_TRUE(TFTPComponent::FTPComponents().empty());
}

TEST_F(Component, IdleLoggedInConnectionSendsNoopAfterThirtySeconds) {
  TFakeFtpServer server(TScript().StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw");
  client.Login();
  auto tick = [] { TSpyWindow::Live()[0]->OnTimer(); };
  TFTPComponent idle;                  // never connected: never pinged
  for (int i = 0; i < 3; ++i) tick();  // 30 seconds: not yet
  EXPECT_EQ(client.Component->IdleSeconds, 30);
  tick();                              // 40 seconds
  EXPECT_EQ(idle.IdleSeconds, 40);
  ASSERT_TRUE(PumpUntil([&] { return server.Received().back() == "NOOP"; }, 5s));
  EXPECT_EQ(client.Component->IdleSeconds, 0);
  // The keep-alive stays out of the log.
  EXPECT_FALSE(client.Events->LogHas("NOOP"));

  EngineSettings().Ping = false;
  for (int i = 0; i < 5; ++i) tick();
  EXPECT_EQ(client.Component->IdleSeconds, 0);
}

TEST_F(Component, DestroyedOrStoppedWhileItsWorkerIsBusy) {
  for (bool destroy : {true, false}) {
    SCOPED_TRACE(destroy ? "component destroyed" : "program exit");
    TFakeFtpServer server(
        TScript().On("CWD .*", {Action("stall", "30"), Send("250 Changed.")}).StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw");
    client.Login();
    client.Component->SetCurrentFolder("/pub");
    client.Component->List("/pub", "*.*");
    ASSERT_TRUE(PumpUntil([&] {
      auto lines = server.Received();
      return std::find(lines.begin(), lines.end(), "CWD /pub") != lines.end();
    }));
    EXPECT_TRUE(client.Component->Busy());
    // The command waiting for its reply is aborted: nobody waits for it any more.
    if (destroy) {
      client.Component.reset();
      EXPECT_TRUE(TFTPThread::WaitForWorkers(3s));
    } else {
      EXPECT_TRUE(TFTPThread::StopWorkers(3s));
    }
    TMessagePump::Default().ProcessMessages(0ms);
    // A destroyed component hears nothing more.
    EXPECT_EQ(client.Events->CountPrefix("CommandCompleted"), destroy ? 1 : 2);
  }
}

// A window that cannot take a listing: as when memory runs out while the listing is handed on.
struct TNoListingWindow final : TMessageWindow {
  explicit TNoListingWindow(std::unique_ptr<TMessageWindow> inner) : Inner(std::move(inner)) {
    Inner->OnMessage = [this](int code, std::unique_ptr<TEventRecord> r) {
      if (OnMessage) OnMessage(code, std::move(r));
    };
  }
  void Post(int code, std::unique_ptr<TEventRecord> record) override {
    if (code == static_cast<int>(TNotification::ProcessList)) throw std::bad_alloc();
    Inner->Post(code, std::move(record));
  }
  void StartTimer(std::chrono::milliseconds) override {}
  void StopTimer() override {}
  std::unique_ptr<TMessageWindow> Inner;
};

TEST_F(Component, AnythingACommandThrowsEndsThatCommandOnly) {
  SetMessageWindowFactory([] { return std::make_unique<TNoListingWindow>(TMessagePump::Default().CreateWindow()); });
  TFakeFtpServer server(TScript()
                            .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
                            .On("LIST", {Send("150 Here."), Action("data", Json("-rw-r--r-- 1 u g 5 Jan 05 10:30 a\r\n")),
                                         Send("226 Done.")})
                            .StandardLogin()
                            .ToJson());
  TClient client(server.Port(), "joe", "pw");
  client.Login();
  client.Component->List("/", "*.*");
  client.Component->NoOp();
  ASSERT_TRUE(client.Events->WaitCompleted(3));
  EXPECT_EQ(client.Events->Matching("CommandCompleted"),
            (std::vector<std::string>{"CommandCompleted Login 1 0", "CommandCompleted List 0 0",
                                      "CommandCompleted NoOp 1 0"}));
  EXPECT_TRUE(client.Events->Has("Error 0 Not enough memory to complete the command"));
}

TEST_F(Component, LogoutOfAComponentThatIsNotLoggedInQueuesNothing) {
  TClient client(1, "joe", "pw");
  client.Component->Logout();
  TMessagePump::Default().ProcessMessages(200ms);
  EXPECT_TRUE(client.Events->Events.empty());
}

TEST_F(Component, QueuedParametersAsTraced) {
  SetDebugTraceFile(Home.File("Debug.txt"));
  SetDebugTrace(true);
  TFTPComponent component;
  component.SetHost("example.org");
  component.FirewallHost = "fw";
  component.FirewallPassword = "fwsecret";
  component.Password = "hostsecret";
  component.FirewallLogin();
  component.Download("", "/pub/a.txt", "/tmp/dl/a.txt", TTransferType::Binary);
  component.ChangeAttributes("run.sh", 0x1BC);  // rwxr-xr--
  component.Abort();
  SetDebugTrace(false);
  SetDebugTraceFile("");
  std::ifstream in(Home.File("Debug.txt"));
  std::stringstream text;
  text << in.rdbuf();
  const std::string trace = text.str();
  EXPECT_NE(trace.find("Adding Command \"FirewallLogin\", Parameters = fw,21,0,\"\",<fwpass>,example.org,21,\"\","
                       "<pass>,\"\""),
            std::string::npos)
      << trace;
  EXPECT_NE(trace.find("Adding Command \"SetType\", Parameters = 2"), std::string::npos);
  EXPECT_NE(trace.find("Adding Command \"Download\", Parameters = /tmp/dl/a.txt,/pub/a.txt,\"\""), std::string::npos);
  EXPECT_NE(trace.find("Adding Command \"ChangeAttributes\", Parameters = 754,run.sh"), std::string::npos);
  EXPECT_EQ(trace.find("secret"), std::string::npos);
  EXPECT_EQ(component.FirewallPassword, "fwsecret");
}

TEST(AttributesToMode, PermissionDigitsWithoutLeadingZeros) {
  auto bits = [](std::initializer_list<int> set) {
    std::uint16_t a = 0;
    for (int b : set) a |= 1u << b;
    return a;
  };
  EXPECT_EQ(AttributesToMode(bits({2, 3, 5, 8})), 644);
  EXPECT_EQ(AttributesToMode(bits({5, 8})), 44);
  EXPECT_EQ(AttributesToMode(bits({2, 3, 4, 5, 6, 7, 8, 9, 10})), 777);
  EXPECT_EQ(AttributesToMode(bits({0, 1})), 0);  // directory and link bits are not permissions
}

}  // namespace
}  // namespace ferrowin::test
