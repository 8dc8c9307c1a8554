// ferroftp against a real server: what each subcommand does, prints and exits with.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "EngineTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Code;
  std::string Out;
};

TRun Ferro(const std::string& arguments) {
  std::string command = std::string(FERROFTP_PATH) + " " + arguments + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}


class Ferroftp : public ::testing::Test {
 protected:
  std::string Url(const std::string& path, const std::string& password = TPyFtpServer::Password) const {
    return "ftp://" + std::string(TPyFtpServer::UserName) + ":" + password + "@127.0.0.1:" +
           std::to_string(Server.Port()) + path;
  }
  TPyFtpServer Server;
  TTempDir Local;
};

TEST_F(Ferroftp, GetPutAndResumeInBothModes) {
  std::string data(300000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7919 % 251);
  std::ofstream(Server.RootFile("f.bin"), std::ios::binary) << data;
  for (const char* mode : {"", " --active"}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(Ferro("get " + Url("/f.bin") + " " + Local.File("f.bin") + mode).Code, 0);
    EXPECT_EQ(ReadFile(Local.File("f.bin")), data);
    std::ofstream(Local.File("part.bin"), std::ios::binary) << data.substr(0, 1000);
    EXPECT_EQ(Ferro("get " + Url("/f.bin") + " " + Local.File("part.bin") + " --resume" + mode).Code, 0);
    EXPECT_EQ(ReadFile(Local.File("part.bin")), data);
    EXPECT_EQ(Ferro("put " + Local.File("f.bin") + " " + Url("/up.bin") + mode).Code, 0);
    EXPECT_EQ(ReadFile(Server.RootFile("up.bin")), data);
  }
  std::ofstream(Server.RootFile("half.bin"), std::ios::binary) << data.substr(0, 5000);
  EXPECT_EQ(Ferro("put " + Local.File("f.bin") + " " + Url("/half.bin") + " --resume").Code, 0);
  EXPECT_EQ(ReadFile(Server.RootFile("half.bin")), data);
}

TEST_F(Ferroftp, ListsAFolderAsJsonLines) {
  fs::create_directory(Server.RootFile("dir"));
  std::ofstream(Server.RootFile("dir/a b.txt")) << "12345";
  TRun r = Ferro("ls " + Url("/dir"));
  EXPECT_EQ(r.Code, 0);
  EXPECT_NE(r.Out.find("{\"name\": \"a b.txt\", \"attributes\": "), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("\"size\": 5, \"date\": \""), std::string::npos) << r.Out;
}

TEST_F(Ferroftp, FailuresExitWithOneAndBadUsageWithTwo) {
  struct {
    std::string Arguments;
    int Code;
  } cases[] = {
      {"get " + Url("/missing.bin") + " " + Local.File("m.bin"), 1},
      {"get " + Url("/f.bin", "wrong") + " " + Local.File("w.bin") + " --retries 1", 1},
      {"ls " + Url("/no/such/folder"), 1},
      {"put /no/such/local/file " + Url("/x"), 2},
      {"get " + Url("/f.bin"), 2},
      {"get " + Url("/f.bin") + " out --bogus", 2},
      {"get " + Url("/f.bin") + " out --timeout", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(Ferro(c.Arguments).Code, c.Code) << c.Arguments;
}

}  // namespace
}  // namespace ferrowin::test
