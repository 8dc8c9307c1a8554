#pragma once
// Starting outside programs (the text viewer, the sister editor, the desktop's handler of a
// file). Every start goes through here, so tests see what would run without running it.

#include <QString>
#include <QStringList>
#include <functional>

namespace ferrowin {

struct TProgramStart {
  QString Program;        // empty: open Arguments[0] with the desktop's handler for it
  QStringList Arguments;  // one file name each; no quoting, the list keeps names whole
  QString Folder;         // working folder; empty: the program's own
};

// False when the program could not be started.
bool StartProgram(const TProgramStart& start);
// Opens a file or folder with the desktop's handler for it, through StartProgram.
bool OpenWithDesktop(const QString& path);
// Test and batch hook: while set, it decides instead of starting anything.
void SetProgramStarter(std::function<bool(const TProgramStart&)> starter);

// The program of a viewer preference: the preference itself, except that the stock default
// (the desktop's handler) gives way to the first desktop text editor found on PATH.
[[nodiscard]] QString TextViewerProgram(const QString& preference, const QString& stockDefault);

}  // namespace ferrowin
