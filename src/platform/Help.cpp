#include "Help.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "DataFolder.h"

namespace ferrowin {

namespace {

constexpr char ContextProperty[] = "ferrowinHelpContext";
constexpr int AnchorRole = Qt::UserRole + 1;

QString ReadText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QString AnchorOf(const QTextBlock& block) {
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QStringList names = it.fragment().charFormat().anchorNames();
    if (!names.isEmpty()) return names.front();
  }
  return {};
}

int ContextOf(const QString& anchor) {
  static const QRegularExpression form(QStringLiteral("^context-([1-9][0-9]*)$"));
  const QRegularExpressionMatch match = form.match(anchor);
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QPointer<THelpWindow>& Window() {
  static QPointer<THelpWindow> window;
  return window;
}

}  // namespace

THelpIndex::THelpIndex(QString folder) : HelpFolder(std::move(folder)) {
  QStringList links;
  ReadPage(QStringLiteral("index.html"), &links);
  for (const QString& link : links) {
    const QString file = link.section(QLatin1Char('#'), 0, 0);
    const bool known = std::any_of(PageList.begin(), PageList.end(), [&](const THelpPage& p) { return p.File == file; });
    if (!known && !file.contains(QLatin1Char(':')) && !file.isEmpty()) ReadPage(file, nullptr);
  }
}

const THelpIndex& THelpIndex::Instance() {
  static const THelpIndex index(DataFolder() + QStringLiteral("help/"));
  return index;
}

// Headings of level 1 and 2 are the sections; the paragraph after one is its pop-up text.
void THelpIndex::ReadPage(const QString& file, QStringList* links) {
  const QString html = ReadText(HelpFolder + file);
  if (html.isEmpty()) return;
  QTextDocument doc;
  doc.setHtml(html);
  THelpPage page{file, doc.metaInformation(QTextDocument::DocumentTitle), {}};
  THelpSection* open = nullptr;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (links)
      for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isAnchor() && !it.fragment().charFormat().anchorHref().isEmpty())
          links->append(it.fragment().charFormat().anchorHref());
    const int level = block.blockFormat().headingLevel();
    if (level == 2 || (level == 1 && !AnchorOf(block).isEmpty())) {
      const QString anchor = AnchorOf(block);
      page.Sections.push_back({anchor, block.text().trimmed(), {}, ContextOf(anchor)});
      open = &page.Sections.back();
    } else if (open && level == 0 && !block.text().trimmed().isEmpty()) {
      open->Popup = block.text().trimmed();
      open = nullptr;
    }
  }
  PageList.push_back(std::move(page));
}

bool THelpIndex::Find(int context, const THelpPage** page, const THelpSection** section) const {
  if (context <= 0) return false;
  for (const THelpPage& p : PageList)
    for (const THelpSection& s : p.Sections)
      if (s.Context == context) {
        *page = &p;
        *section = &s;
        return true;
      }
  return false;
}

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Help - Ferrowin"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  auto* btnContents = new QPushButton(QStringLiteral("&Contents"), this);
  auto* btnBack = new QPushButton(QStringLiteral("&Back"), this);
  auto* btnForward = new QPushButton(QStringLiteral("&Forward"), this);
  for (QPushButton* b : {btnContents, btnBack, btnForward}) buttons->addWidget(b);
  buttons->addStretch();
  layout->addLayout(buttons);
  auto* splitter = new QSplitter(this);
  tvContents = new QTreeWidget(splitter);
  tvContents->header()->hide();
  brwsPage = new QTextBrowser(splitter);
  brwsPage->setOpenExternalLinks(true);
  brwsPage->setSearchPaths({THelpIndex::Instance().Folder()});
  splitter->addWidget(tvContents);
  splitter->addWidget(brwsPage);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({260, 560});
  layout->addWidget(splitter, 1);
  FillContents();
  connect(btnContents, &QPushButton::clicked, this, [this] { ShowPage(QStringLiteral("index.html")); });
  connect(btnBack, &QPushButton::clicked, brwsPage, &QTextBrowser::backward);
  connect(btnForward, &QPushButton::clicked, brwsPage, &QTextBrowser::forward);
  connect(brwsPage, &QTextBrowser::backwardAvailable, btnBack, &QPushButton::setEnabled);
  connect(brwsPage, &QTextBrowser::forwardAvailable, btnForward, &QPushButton::setEnabled);
  connect(tvContents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    const QStringList target = item->data(0, AnchorRole).toStringList();
    ShowPage(target.value(0), target.value(1));
  });
  btnBack->setEnabled(false);
  btnForward->setEnabled(false);
  resize(880, 600);
}

void THelpWindow::FillContents() {
  for (const THelpPage& page : THelpIndex::Instance().Pages()) {
    auto* top = new QTreeWidgetItem(tvContents, {page.Title});
    top->setData(0, AnchorRole, QStringList{page.File, QString()});
    for (const THelpSection& section : page.Sections) {
      if (section.Anchor.isEmpty()) continue;
      auto* item = new QTreeWidgetItem(top, {section.Title});
      item->setData(0, AnchorRole, QStringList{page.File, section.Anchor});
    }
  }
  tvContents->expandAll();
}

void THelpWindow::ShowPage(const QString& file, const QString& anchor) {
  QUrl url = QUrl::fromLocalFile(THelpIndex::Instance().Folder() + file);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  brwsPage->setSource(url);
  if (!anchor.isEmpty()) brwsPage->scrollToAnchor(anchor);
}

THelpWindow* HelpWindow() { return Window().data(); }

void CloseHelpWindow() { delete Window().data(); }

bool ShowHelp(int context) {
  QWidget* modal = QApplication::activeModalWidget();
  // A window that is not the modal dialog's would be blocked by it.
  if (Window() && modal && !modal->isAncestorOf(Window())) CloseHelpWindow();
  if (!Window()) {
    Window() = new THelpWindow(modal);
    if (!modal) QObject::connect(qApp, &QCoreApplication::aboutToQuit, Window(), &QObject::deleteLater);
  }
  const THelpPage* page = nullptr;
  const THelpSection* section = nullptr;
  const bool found = THelpIndex::Instance().Find(context, &page, &section);
  if (found) Window()->ShowPage(page->File, section->Anchor);
  else Window()->ShowPage(QStringLiteral("index.html"));
  Window()->show();
  Window()->raise();
  Window()->activateWindow();
  return found;
}

void ShowHelpContents() { ShowHelp(0); }

QString HelpPopupText(int context) {
  const THelpPage* page = nullptr;
  const THelpSection* section = nullptr;
  return THelpIndex::Instance().Find(context, &page, &section) ? section->Popup : QString();
}

void SetHelpContext(QWidget* widget, int context) {
  widget->setProperty(ContextProperty, context);
  widget->setWhatsThis(HelpPopupText(context));
  if (widget->isWindow()) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), widget);
    QObject::connect(key, &QShortcut::activated, widget, [context] { ShowHelp(context); });
  }
}

int HelpContextOf(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const int context = widget->property(ContextProperty).toInt();
    if (context != 0) return context;
  }
  return 0;
}

void EnterWhatsThisMode() { QWhatsThis::enterWhatsThisMode(); }

}  // namespace ferrowin
