#pragma once
// The internal viewer: a page or a picture shown over the message log. Local files are
// read where they are; an ftp:// page is fetched through the engine into the private
// temporary folder first. Nothing larger than MaxPreviewBytes is read for a preview.

#include <QPointer>
#include <QTextBrowser>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "FTPUtils.h"

namespace ferrowin {

class TFTPComponent;
class TPreviewFetch;

// Whether a file of this name is previewed: its extension, in any case, is one of the
// viewer's (".html .htm .shtml .asp .cfm .css .gif .jpg .asi .js"). Whole extensions only.
[[nodiscard]] bool InPreviewList(const std::string& name);

// The browser: reads pages through Navigate only, and no local resource over the bound.
class TPreviewBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;
  QVariant loadResource(int type, const QUrl& name) override;
};

class TViewer : public QWidget {
  Q_OBJECT
 public:
  static constexpr std::int64_t MaxPreviewBytes = std::int64_t{16} << 20;

  explicit TViewer(QWidget* parent = nullptr);
  ~TViewer() override;

  // A file:// or ftp:// URL. knownSize (a listing's size, -1 when unknown) spares fetching
  // what is already known to be too large.
  void Navigate(const QString& url, std::int64_t knownSize = -1);
  // Ends a fetch under way; what is shown stays.
  void Stop();
  [[nodiscard]] bool Busy() const;
  // The page last navigated to, without its password.
  [[nodiscard]] QString Location() const { return Shown; }
  [[nodiscard]] QTextBrowser* Browser() const { return Page; }
  // The private folder of this run's preview copies; removed with the viewer.
  [[nodiscard]] const std::string& CopyFolder() const { return Copies; }

  bool Suppressed = false;  // previews are not started while set

  std::function<void()> OnDownloadBegin;
  std::function<void()> OnDownloadComplete;
  // A page that cannot be shown: the reason, for the log.
  std::function<void(const QString& message)> OnError;
  // Settles the preview connection as the host view's would be (passive mode, firewall);
  // returns whether to log in through the firewall.
  std::function<bool(TFTPComponent& connection)> OnPrepareConnection;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowFile(const QString& path, const QString& name);
  void ShowPicture();
  void ShowText(const QString& text);
  void Fail(const QString& name, const QString& reason);
  void TooLarge(const QString& name, std::int64_t bytes);
  void FetchRemote(const QString& url, std::int64_t knownSize);
  void Fetched(bool success, bool tooLarge, const std::string& reason);

  TPreviewBrowser* Page;
  std::unique_ptr<TPreviewFetch> Fetch;
  std::string Copies;
  QString Shown;
  QString Picture;  // the picture shown, rescaled with the viewer
  QString FetchName;
  std::string LastFetch;  // the copy being fetched
  std::string LastCopy;   // the copy shown
  int CopyCount = 0;
};

}  // namespace ferrowin
