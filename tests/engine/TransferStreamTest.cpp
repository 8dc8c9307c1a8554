// Text mode line ends: CR LF on the wire, LF in the local file, whatever the pieces the
// network cuts the data into.

#include <gtest/gtest.h>

#include <vector>

#include "TransferStream.h"

namespace ferrowin {
namespace {

TEST(TextStream, DownloadTurnsCRLFIntoLFAcrossPieces) {
  struct {
    std::vector<std::string> Pieces;
    std::string Local;
  } cases[] = {
      {{"a\r\nb\r\n"}, "a\nb\n"},
      {{"a\r", "\nb"}, "a\nb"},          // the pair split between two pieces
      {{"a\r", "b\r", "\r\n"}, "a\rb\r\n"},  // a lone CR stays; CR CR LF keeps one CR
      {{"end\r"}, "end\r"},              // a CR at the very end is written at the finish
      {{"x\n\n"}, "x\n\n"},
  };
  for (const auto& c : cases) {
    TMemoryStream file;
    TTextStream text(file);
    for (const auto& piece : c.Pieces) text.Write(piece.data(), piece.size());
    text.Finish();
    EXPECT_EQ(file.Data, c.Local) << ::testing::PrintToString(c.Pieces);
  }
}

TEST(TextStream, UploadTurnsLFIntoCRLF) {
  TMemoryStream file;
  file.Data = "one\ntwo\r\n\nend\n";
  TTextStream text(file);
  std::string wire;
  char buffer[6];  // small, so the conversion crosses reads
  while (std::size_t n = text.Read(buffer, sizeof buffer)) {
    ASSERT_LE(n, sizeof buffer);  // what a line end doubles still fits
    wire.append(buffer, n);
  }
  EXPECT_EQ(wire, "one\r\ntwo\r\r\n\r\nend\r\n");  // the CR of the file is its own
}

}  // namespace
}  // namespace ferrowin
