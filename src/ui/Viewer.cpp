#include "Viewer.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <unistd.h>

#include "FTPComp.h"
#include "Format.h"
#include "HostView.h"
#include "TransferQueue.h"
#include "ViewerFetch.h"

namespace ferrowin {
namespace {

constexpr std::array<std::string_view, 10> PreviewExtensions{".html", ".htm", ".shtml", ".asp", ".cfm",
                                                              ".css",  ".gif", ".jpg",   ".asi", ".js"};

QString Suffix(const QString& name) { return QFileInfo(name).suffix().toLower(); }

bool IsPicture(const QString& name) {
  static const QStringList pictures{"gif", "jpg", "jpeg", "png", "bmp"};
  return pictures.contains(Suffix(name));
}

// Style sheets and scripts are read as the text they are.
bool IsPlainText(const QString& name) {
  static const QStringList texts{"css", "js"};
  return texts.contains(Suffix(name));
}

bool TooLargeFile(const QString& path) { return QFileInfo(path).size() > TViewer::MaxPreviewBytes; }

}  // namespace

bool InPreviewList(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  const std::string extension = LowerCase(name.substr(dot));
  return std::find(PreviewExtensions.begin(), PreviewExtensions.end(), extension) != PreviewExtensions.end();
}

QVariant TPreviewBrowser::loadResource(int type, const QUrl& name) {
  // A page's pictures and style sheets obey the preview's bound too.
  const QUrl url = source().resolved(name);
  if (url.isLocalFile() && TooLargeFile(url.toLocalFile())) return {};
  return QTextBrowser::loadResource(type, name);
}

TViewer::TViewer(QWidget* parent) : QWidget(parent), Page(new TPreviewBrowser(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Page);
  // Links go through Navigate, so a followed link obeys the bound as well.
  Page->setOpenLinks(false);
  connect(Page, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    const QUrl target = Page->source().resolved(link);
    if (target.isLocalFile() && target.hasFragment() && target.adjusted(QUrl::RemoveFragment) == Page->source())
      return Page->scrollToAnchor(target.fragment());
    if (target.isLocalFile() || target.scheme() == QStringLiteral("ftp")) Navigate(target.toString());
  });
  const std::string base = THostView::ReasonFolder();
  if (!base.empty()) {
    Copies = base + "preview-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directory(Copies);
    std::filesystem::permissions(Copies, std::filesystem::perms::owner_all);
  }
}

TViewer::~TViewer() {
  Fetch.reset();
  std::error_code ec;
  if (!Copies.empty()) std::filesystem::remove_all(Copies, ec);
}

bool TViewer::Busy() const { return Fetch && Fetch->Busy(); }

void TViewer::Stop() {
  if (!Busy()) return;
  Fetch->Cancel();
  ShowText(QStringLiteral("Stopped: %1").arg(FetchName));
  if (OnDownloadComplete) OnDownloadComplete();
}

void TViewer::Navigate(const QString& url, std::int64_t knownSize) {
  const QUrl target(url);
  if (target.scheme() == QStringLiteral("ftp")) return FetchRemote(url, knownSize);
  Stop();
  Shown = target.toString();
  const QString path = target.toLocalFile();
  ShowFile(path, QFileInfo(path).fileName());
}

void TViewer::ShowFile(const QString& path, const QString& name) {
  Picture.clear();
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable()) return Fail(name, QStringLiteral("it cannot be read"));
  if (info.size() > MaxPreviewBytes) return TooLarge(name, info.size());
  if (IsPicture(name)) {
    Picture = path;
    return ShowPicture();
  }
  if (IsPlainText(name)) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Fail(name, file.errorString());
    Page->setPlainText(QString::fromUtf8(file.read(MaxPreviewBytes)));
    return;
  }
  Page->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
}

// Scaled down to fit the viewer, never up; the proportions kept.
void TViewer::ShowPicture() {
  QImageReader reader(Picture);
  QSize size = reader.size();
  if (!size.isValid()) return Fail(QFileInfo(Picture).fileName(), QStringLiteral("it is not a picture this viewer reads"));
  const QSize room = Page->viewport()->size() - QSize(16, 16);
  if (size.width() > room.width() || size.height() > room.height()) size.scale(room.expandedTo({16, 16}), Qt::KeepAspectRatio);
  Page->setHtml(QStringLiteral("<p align=\"center\"><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                    .arg(QUrl::fromLocalFile(Picture).toString(QUrl::FullyEncoded))
                    .arg(size.width())
                    .arg(size.height()));
}

void TViewer::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!Picture.isEmpty()) ShowPicture();
}

void TViewer::ShowText(const QString& text) {
  Picture.clear();
  Page->setPlainText(text);
}

void TViewer::Fail(const QString& name, const QString& reason) {
  const QString message = QStringLiteral("Cannot show %1: %2").arg(name, reason);
  ShowText(message);
  if (OnError) OnError(message);
}

void TViewer::TooLarge(const QString& name, std::int64_t bytes) {
  const QString size = bytes < 0 ? QStringLiteral("more than %1").arg(MaxPreviewBytes) : QString::number(bytes);
  ShowText(QStringLiteral("%1 is too large to preview (%2 bytes; the viewer reads up to %3 bytes).")
               .arg(name, size)
               .arg(MaxPreviewBytes));
}

void TViewer::FetchRemote(const QString& url, std::int64_t knownSize) {
  TURLParts parts;
  QUrl safe(url);
  safe.setPassword(QString());
  const bool same = Busy() && Shown == safe.toString();
  Shown = safe.toString();
  if (same) return;  // already on its way
  Stop();
  if (!ParseURL(url.toStdString(), "", parts) || parts.FileName.empty()) return Fail(Shown, QStringLiteral("not a file's URL"));
  FetchName = QString::fromStdString(parts.FileName);
  if (knownSize > MaxPreviewBytes) return TooLarge(FetchName, knownSize);
  if (Copies.empty()) return Fail(FetchName, QStringLiteral("there is no private temporary folder"));
  if (!Fetch) {
    Fetch = std::make_unique<TPreviewFetch>(MaxPreviewBytes);
    Fetch->OnDone = [this](bool success, bool tooLarge, const std::string& reason) {
      Fetched(success, tooLarge, reason);
    };
  }
  Fetch->OnPrepare = OnPrepareConnection;
  // Numbered, so no copy replaces one still shown; the server's name only when it is a
  // plain name here, else its extension alone (the page's kind).
  const std::string name = IsSafeEntryName(parts.FileName) ? parts.FileName : "page." + Suffix(FetchName).toStdString();
  const std::string copy = Copies + std::to_string(++CopyCount) + "-" + name;
  ShowText(QStringLiteral("Loading %1...").arg(FetchName));
  if (OnDownloadBegin) OnDownloadBegin();
  LastFetch = copy;
  Fetch->Fetch(parts, copy);
}

void TViewer::Fetched(bool success, bool tooLarge, const std::string& reason) {
  if (OnDownloadComplete) OnDownloadComplete();
  if (tooLarge) return TooLarge(FetchName, -1);
  if (!success) return Fail(FetchName, QString::fromStdString(reason));
  // Only the copy shown is kept: a long session does not fill the folder.
  if (!LastCopy.empty() && LastCopy != LastFetch) std::remove(LastCopy.c_str());
  LastCopy = LastFetch;
  ShowFile(QString::fromStdString(LastFetch), FetchName);
}

}  // namespace ferrowin
