#include "Shell.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QUrl>
#include <filesystem>

namespace ferrowin {

namespace {

QIcon WithShortcutArrow(const QIcon& base) {
  QIcon result;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap = base.pixmap(size, size);
    if (pixmap.isNull()) {
      pixmap = QPixmap(size, size);
      pixmap.fill(Qt::transparent);
    }
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const int box = std::max(7, size * 7 / 16);
    QRect r(0, size - box, box, box);
    p.fillRect(r, Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QPen(Qt::blue, std::max(1, size / 16)));
    p.drawLine(r.left() + box / 4, r.bottom() - box / 4, r.right() - box / 4, r.top() + box / 4);
    p.drawLine(r.right() - box / 4, r.top() + box / 4, r.right() - box / 4, r.top() + box / 2);
    p.drawLine(r.right() - box / 4, r.top() + box / 4, r.left() + box / 2, r.top() + box / 4);
    p.end();
    result.addPixmap(pixmap);
  }
  return result;
}

std::string LowerSuffix(const QString& name) {
  int dot = name.lastIndexOf('.');
  return dot < 0 ? std::string() : name.mid(dot + 1).toLower().toStdString();
}

}  // namespace

int TImageList::Add(const QIcon& icon) {
  Icons.push_back(icon);
  return Count() - 1;
}

QIcon TImageList::Icon(int index, int overlay) const {
  if (index < 0 || index >= Count()) return {};
  if (overlay <= 0) return Icons[index];
  std::int64_t key = (static_cast<std::int64_t>(overlay) << 32) | static_cast<std::uint32_t>(index);
  auto it = Overlaid.find(key);
  if (it == Overlaid.end()) it = Overlaid.emplace(key, WithShortcutArrow(Icons[index])).first;
  return it->second;
}

TShellImages& TShellImages::Instance() {
  static TShellImages images;
  return images;
}

TShellImages::TShellImages() {
  QFileIconProvider provider;
  QIcon folder = QIcon::fromTheme("folder", provider.icon(QFileIconProvider::Folder));
  ClosedFolder = Add(folder);
  OpenFolder = Add(QIcon::fromTheme("folder-open", folder));
  Network = Add(QIcon::fromTheme("network-workgroup", provider.icon(QFileIconProvider::Network)));
  GenericFile = Add(provider.icon(QFileIconProvider::File));
}

int TShellImages::FileIconIndex(const QString& name) {
  std::string suffix = LowerSuffix(name);
  auto it = ByExtension.find(suffix);
  if (it != ByExtension.end()) return it->second;
  int index = GenericFile;
  if (!suffix.empty()) {
    QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (!type.isDefault()) {
      QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
      if (!icon.isNull()) index = Add(icon);
    }
  }
  ByExtension.emplace(suffix, index);
  return index;
}

QString ShellTypeName(const QString& name) {
  static std::unordered_map<std::string, QString> cache;
  std::string suffix = LowerSuffix(name);
  if (suffix.empty()) return {};
  auto it = cache.find(suffix);
  if (it != cache.end()) return it->second;
  QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
  QString text = type.isDefault() ? QString() : type.comment();
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  cache.emplace(suffix, text);
  return text;
}

bool ShellOpen(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

bool ShellTrash(const QStringList& paths) {
  bool ok = true;
  for (const QString& path : paths) ok = QFile::moveToTrash(path) && ok;
  return ok;
}

void ShellToClipboard(const QStringList& paths, bool cut) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  QByteArray desktopList = cut ? "cut" : "copy";
  for (const QString& path : paths) {
    urls << QUrl::fromLocalFile(path);
    desktopList += "\n" + QUrl::fromLocalFile(path).toEncoded();
  }
  data->setUrls(urls);
  // The file managers of the desktop read cut or copy from this format.
  data->setData("x-special/gnome-copied-files", desktopList);
  QApplication::clipboard()->setMimeData(data);
}

bool ShellPaste(const QString& folder) {
  namespace fs = std::filesystem;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data || !data->hasUrls()) return false;
  bool cut = data->data("x-special/gnome-copied-files").startsWith("cut");
  bool ok = true;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    fs::path source = url.toLocalFile().toStdString();
    fs::path target = fs::path(folder.toStdString()) / source.filename();
    std::error_code ec;
    if (fs::exists(target, ec) || fs::equivalent(source, target, ec)) {
      ok = false;
      continue;
    }
    if (cut) fs::rename(source, target, ec);
    if (!cut || ec) {
      ec.clear();
      fs::copy(source, target, fs::copy_options::recursive, ec);
      if (!ec && cut) fs::remove_all(source, ec);
    }
    if (ec) ok = false;
  }
  return ok;
}

std::int64_t FreeSpace(const QString& path) {
  std::error_code ec;
  auto info = std::filesystem::space(path.toStdString(), ec);
  return ec ? -1 : static_cast<std::int64_t>(info.available);
}

}  // namespace ferrowin
