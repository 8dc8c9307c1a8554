// Throughput of the UNIX listing parser: 1,000,000 generated "ls -l" lines of varied forms
// (GNU, BSD without group, busybox, NetWare, links, years and times, 64-bit sizes), parsed five
// times; prints the median in lines per second. Then the same 20,000 files as LIST and as MLSD
// lines, in entries per second. Figures to watch, never a pass/fail.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Parsers.h"

namespace {

using namespace ferrowin;

constexpr int LineCount = 1'000'000;
constexpr int Runs = 5;

std::string Listing() {
  static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const char* const Rights[] = {"-rw-r--r--", "drwxr-xr-x", "lrwxrwxrwx", "-rwx------",
                                       "-rw-rw-r--", "drwx--x--x"};
  static const char* const Users[] = {"root", "www-data", "ftp", "jsmith", "backup"};
  static const char* const Stems[] = {"report", "photo 2023", "index", "archive.tar", "README",
                                      "notes", "setup", "data_export"};
  static const char* const Types[] = {".txt", ".jpg", ".gz", "", ".html", ".iso"};
  std::mt19937_64 random(20240615);
  auto pick = [&](auto& array) { return array[random() % std::size(array)]; };
  std::string text;
  text.reserve(static_cast<std::size_t>(LineCount) * 64);
  char line[512];
  for (int i = 0; i < LineCount; ++i) {
    const char* rights = pick(Rights);
    const char* month = pick(Months);
    const int day = static_cast<int>(random() % 28) + 1;
    const long long size = static_cast<long long>(random() % (random() % 8 == 0 ? 8'000'000'000LL : 100'000));
    char when[16];
    if (random() % 3 == 0)
      std::snprintf(when, sizeof when, "%d", 1995 + static_cast<int>(random() % 30));
    else
      std::snprintf(when, sizeof when, "%02d:%02d", static_cast<int>(random() % 24), static_cast<int>(random() % 60));
    const char* user = pick(Users);
    std::string name = std::string(pick(Stems)) + std::to_string(i) + pick(Types);
    if (rights[0] == 'l') name += " -> ../target/" + name;
    int n = 0;
    switch (random() % 4) {
      case 0:  // GNU
        n = std::snprintf(line, sizeof line, "%s %3d %-8s %-8s %10lld %s %2d %5s %s\r\n", rights,
                          static_cast<int>(random() % 40) + 1, user, user, size, month, day, when, name.c_str());
        break;
      case 1:  // BSD without group
        n = std::snprintf(line, sizeof line, "%s  1 %s  %lld %s %d %s %s\r\n", rights, user, size, month, day,
                          when, name.c_str());
        break;
      case 2:  // busybox
        n = std::snprintf(line, sizeof line, "%s    1 %-8s %-8s %12lld %s %2d %5s %s\r\n", rights, user, user,
                          size, month, day, when, name.c_str());
        break;
      default:  // NetWare
        n = std::snprintf(line, sizeof line, "%c [RWCEAFMS] %-8s %lld %s %02d %s %s\r\n",
                          rights[0] == 'd' ? 'd' : '-', user, size, month, day, when, name.c_str());
        break;
    }
    text.append(line, static_cast<std::size_t>(std::min(n, static_cast<int>(sizeof line) - 1)));
  }
  return text;
}

// The same 20,000 files as a GNU "ls -l" listing and as an MLSD listing.
void TwentyThousand(std::string& list, std::string& mlsd) {
  char line[256];
  for (int i = 0; i < 20'000; ++i) {
    const long long size = 1000LL * i + 17;
    std::snprintf(line, sizeof line, "-rw-r--r--   1 ftp      ftp      %10lld Jan 05 10:30 entry-%06d.txt\r\n", size, i);
    list += line;
    std::snprintf(line, sizeof line, "type=file;size=%lld;modify=20240105103000;unix.mode=0644; entry-%06d.txt\r\n",
                  size, i);
    mlsd += line;
  }
}

// Parses the text `Runs` times; prints the runs and their median in lines per second.
void Measure(const char* title, TListingParserKind kind, const std::string& text, int lines, const char* unit) {
  std::vector<double> rates;
  std::size_t entryCount = 0;
  for (int run = 0; run < Runs; ++run) {
    TListingEntries entries;
    entries.reserve(static_cast<std::size_t>(lines));
    TListingParser parser(kind, TDate{2024, 6, 15});
    const auto start = std::chrono::steady_clock::now();
    parser.Parse(text, entries);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    rates.push_back(lines / elapsed.count());
    entryCount = entries.size();
  }
  std::sort(rates.begin(), rates.end());
  std::printf("%s: %d lines (%.1f MB), %zu entries\n", title, lines, text.size() / 1e6, entryCount);
  std::printf("runs:");
  for (const double r : rates) std::printf(" %.0f", r);
  std::printf("\nmedian: %.0f %s\n", rates[Runs / 2], unit);
}

}  // namespace

int main() {
  Measure("UNIX listing", TListingParserKind::Unix, Listing(), LineCount, "lines/s");
  std::string list, mlsd;
  TwentyThousand(list, mlsd);
  Measure("LIST, 20,000 files", TListingParserKind::Unix, list, 20'000, "entries/s");
  Measure("MLSD, the same 20,000 files", TListingParserKind::MLSD, mlsd, 20'000, "entries/s");
  return 0;
}
