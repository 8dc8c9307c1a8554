#pragma once
// What the views take from the desktop: icons and type names of files, the folder and network
// icons, opening a file with its application, the trash, the clipboard of files, free space.

#include <QIcon>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace ferrowin {

// Icons addressed by index, as list controls want them. An overlay index above 0 draws a
// mark over the icon (1: the shortcut arrow).
class TImageList {
 public:
  int Add(const QIcon& icon);
  [[nodiscard]] int Count() const { return static_cast<int>(Icons.size()); }
  // The icon with its overlay; an empty icon for an index out of range.
  [[nodiscard]] QIcon Icon(int index, int overlay = 0) const;

 private:
  std::vector<QIcon> Icons;
  mutable std::unordered_map<std::int64_t, QIcon> Overlaid;
};

// The system's icons, shared by every list. User-interface thread only.
class TShellImages : public TImageList {
 public:
  static TShellImages& Instance();
  // The icon of an ordinary file of that name (its extension decides), without touching disk.
  int FileIconIndex(const QString& name);
  [[nodiscard]] int ClosedFolderIndex() const { return ClosedFolder; }
  [[nodiscard]] int OpenFolderIndex() const { return OpenFolder; }
  [[nodiscard]] int NetworkIndex() const { return Network; }

 private:
  TShellImages();
  int ClosedFolder = 0;
  int OpenFolder = 0;
  int Network = 0;
  int GenericFile = 0;
  std::unordered_map<std::string, int> ByExtension;
};

// The desktop's description of a file type ("PNG image"); empty when it has none.
QString ShellTypeName(const QString& name);

// Opens a file or folder with the desktop's application for it.
bool ShellOpen(const QString& path);
// Moves the paths to the trash; false when one of them could not be moved.
bool ShellTrash(const QStringList& paths);
// Puts the paths on the clipboard as files to copy, or to move with cut.
void ShellToClipboard(const QStringList& paths, bool cut);
// Copies (or moves, after a cut) the clipboard's files into folder. Existing names are never
// overwritten: such a file is skipped and the result is false.
bool ShellPaste(const QString& folder);
// Free bytes on the file system of path, or -1 when unknown.
std::int64_t FreeSpace(const QString& path);

}  // namespace ferrowin
