// What Compare Folders selects, how the recent masks move, and which names the viewer
// previews: the rules, without windows.

#include <gtest/gtest.h>

#include "Compare.h"
#include "MaskMemory.h"
#include "Viewer.h"

namespace ferrowin::test {
namespace {

TDateTime At(int hour, int minute, int second = 0) { return EncodeDateTime(2026, 3, 14, hour, minute, second); }

struct TCompareCase {
  const char* Name;
  std::vector<TCompareItem> Local;
  std::vector<TCompareItem> Host;
  bool IgnoreSize;
  bool IgnoreDate;
  std::vector<int> LocalSelected;
  std::vector<int> HostSelected;
};

TEST(CompareFolders, SelectsWhatIsMissingLargerOrNewerOnEachSide) {
  const TDateTime t = At(10, 15);
  const std::vector<TCompareCase> cases{
      {"larger remote, dates ignored", {{"a.txt", 100, At(9, 0)}}, {{"a.txt", 120, t}}, false, true, {}, {0}},
      {"equal sizes", {{"a.txt", 120, At(9, 0)}}, {{"a.txt", 120, t}}, false, true, {}, {}},
      {"both ignored: only the missing",
       {{"same", 1, t}, {"big", 900, t}, {"mine", 1, t}},
       {{"same", 1, t}, {"big", 5, At(11, 0)}, {"theirs", 1, t}},
       true, true, {2}, {2}},
      {"seconds do not count", {{"a", 1, At(10, 15, 40)}}, {{"a", 1, t}}, false, false, {}, {}},
      {"a later minute does", {{"a", 1, At(10, 16)}}, {{"a", 1, t}}, false, false, {0}, {}},
      {"case is no difference", {{"Index.html", 5, t}}, {{"index.html", 5, t}}, false, true, {}, {}},
      {"empty local folder", {}, {{"x", 1, t}, {"y", 2, t}, {"z", 3, t}}, false, true, {}, {0, 1, 2}},
      {"the first namesake counts", {{"A", 10, t}}, {{"a", 20, t}, {"a", 1, t}}, false, true, {}, {0}},
  };
  for (const TCompareCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(SelectDifferences(c.Local, c.Host, c.IgnoreSize, c.IgnoreDate), c.LocalSelected);
    EXPECT_EQ(SelectDifferences(c.Host, c.Local, c.IgnoreSize, c.IgnoreDate), c.HostSelected);
  }
}

TEST(FileMasks, RecentMasksMoveUpAndTheOldestDropsOut) {
  using TList = std::vector<std::string>;
  const struct {
    const char* Name;
    TList Typed;
    TList Recent;
  } cases[] = {
      {"first mask", {"*.txt"}, {"*.txt"}},
      {"five masks keep four", {"1", "2", "3", "4", "5"}, {"5", "4", "3", "2"}},
      {"the mask at 7 moves to 5", {"c", "b", "a", "c"}, {"c", "a", "b"}},
      {"the mask at 5 stays", {"b", "a", "a"}, {"a", "b"}},
      {"case and blanks count", {"*.TXT", "*.txt", " *.txt"}, {" *.txt", "*.txt", "*.TXT"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TMaskMemory memory;
    EXPECT_FALSE(memory.SeparatorShown());
    for (const std::string& mask : c.Typed) memory.Record(mask);
    EXPECT_EQ(memory.Masks(), c.Recent);
    EXPECT_TRUE(memory.SeparatorShown());
  }
  EXPECT_EQ(MaskOfEntry(ReadyMasks[0].Entry), "*.zip;*.arj;*.a??;*.rar;*.r??;*.z");
  EXPECT_EQ(MaskOfEntry(ReadyMasks[3].Caption), "*.*");
  EXPECT_EQ(MaskOfEntry("Odd (a) (*.x)"), "a) (*.x");
  EXPECT_EQ(MaskOfEntry("*.txt"), "*.txt");
}

TEST(Viewer, PreviewsWholeExtensionsInAnyCase) {
  const struct {
    const char* Name;
    bool Previewed;
  } cases[] = {
      {"page.HTM", true}, {"a.b.Html", true}, {"/tmp/x/photo.JPG", true}, {"style.css", true},
      {"notes.txt", false}, {"README", false}, {"page.ml", false}, {"a.html.bak", false},
      {"dir.htm/readme", false}, {"photo.jpeg", false},
  };
  for (const auto& c : cases) EXPECT_EQ(InPreviewList(c.Name), c.Previewed) << c.Name;
}

}  // namespace
}  // namespace ferrowin::test
