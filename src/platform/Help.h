#pragma once
// The program's help: HTML pages in the data folder's help/ (DataFolder()), shown in one help
// window with a contents tree. A help context number is an anchor "context-N" in a page; the
// first paragraph after that heading is the context's pop-up text for "What's This?".

#include <QString>
#include <QWidget>
#include <vector>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace ferrowin {

// Contexts of dialogs whose headers do not name one (the others keep theirs beside their
// dialog: the URL dialog 8, the preferences 76, the site manager 77).
inline constexpr int PasswordHelpContext = 78;
inline constexpr int CompareHelpContext = 81;
inline constexpr int PropertiesHelpContext = 82;

struct THelpSection {
  QString Anchor;  // may be empty: a heading without anchor
  QString Title;
  QString Popup;   // the paragraph after the heading
  int Context = 0; // from an anchor "context-N"; 0 for others
};

struct THelpPage {
  QString File;   // the file name within the help folder
  QString Title;
  std::vector<THelpSection> Sections;
};

// The pages of a help folder, read once: index.html first, then the pages it links to, in
// the order of its links.
class THelpIndex {
 public:
  explicit THelpIndex(QString folder);
  // The index of the program's data folder.
  static const THelpIndex& Instance();

  [[nodiscard]] const QString& Folder() const { return HelpFolder; }
  [[nodiscard]] const std::vector<THelpPage>& Pages() const { return PageList; }
  // The page and section of a context; false when no page has its anchor.
  bool Find(int context, const THelpPage** page, const THelpSection** section) const;

 private:
  void ReadPage(const QString& file, QStringList* links);
  QString HelpFolder;
  std::vector<THelpPage> PageList;
};

// The help window: the contents beside the page.
class THelpWindow : public QWidget {
 public:
  explicit THelpWindow(QWidget* parent = nullptr);
  // Shows a page, at an anchor when one is given.
  void ShowPage(const QString& file, const QString& anchor = {});
  [[nodiscard]] QTextBrowser* Browser() const { return brwsPage; }
  [[nodiscard]] QTreeWidget* Contents() const { return tvContents; }

 private:
  void FillContents();
  QTreeWidget* tvContents;
  QTextBrowser* brwsPage;
};

// Opens the help window at a context's section, or at the contents when the context is 0 or
// unknown; returns whether the context was found. The window is one for the program, owned
// by the modal dialog asking (so that dialog does not block it) or standing alone.
bool ShowHelp(int context);
void ShowHelpContents();
// The help window when it is open, else null.
[[nodiscard]] THelpWindow* HelpWindow();
void CloseHelpWindow();

// The pop-up text of a context; empty when no page has it.
[[nodiscard]] QString HelpPopupText(int context);
// Gives a widget a help context: its "What's This?" text, and for a window F1 opens the
// context's page.
void SetHelpContext(QWidget* widget, int context);
// The context of the widget or of its nearest parent that has one; 0 for none.
[[nodiscard]] int HelpContextOf(const QWidget* widget);
// "What's This?": the next click on a control shows its context's pop-up text.
void EnterWhatsThisMode();

// The About box: the program's icon, name and version.
void ShowAbout(QWidget* parent);

}  // namespace ferrowin
