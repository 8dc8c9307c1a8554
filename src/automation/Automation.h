#pragma once
// TQuorra: what an automation client does with this copy. Everything goes to the main
// window's current host view and current local view; a failure is thrown as
// EAutomationError with its text, which the bus layer hands to the client.

#include <QString>
#include <QVariantList>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "DateTime.h"

namespace ferrowin {

class TfrmMain;
class THostView;

class EAutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TQuorra {
 public:
  // Installs the hooks through which the views, the queues and the dialog reach the client.
  explicit TQuorra(TfrmMain& main);
  // Hides the window and aborts every connection.
  ~TQuorra();
  TQuorra(const TQuorra&) = delete;
  TQuorra& operator=(const TQuorra&) = delete;

  // Every event for the client: its name and its arguments in their declared order.
  std::function<void(const QString& name, const QVariantList& args)> OnEvent;

  void ConnectTo(const std::string& host, int port, const std::string& userName, const std::string& password,
                 const std::string& account, const std::string& folder);
  void Disconnect();
  void Abort();
  void RefreshFolder();
  void CreateFolder(const std::string& folderName);
  void SelectItem(int index, bool selected);
  [[nodiscard]] bool ItemIsSelected(int index) const;
  [[nodiscard]] bool ItemIsFolder(int index) const;
  [[nodiscard]] std::string ItemName(int index) const;
  [[nodiscard]] std::int32_t ItemSize(int index) const;
  [[nodiscard]] TDateTime ItemDate(int index) const;
  void DeleteSelectedItems(bool confirm);
  void RenameItem(int index, const std::string& newName);
  [[nodiscard]] std::string Mask() const;
  void SetMask(const std::string& mask);
  [[nodiscard]] std::string CurrentFolder() const;
  void SetCurrentFolder(const std::string& folder);
  void Upload(const std::string& localFileName, const std::string& destFileName);
  void Download(const std::string& destinationFolder);
  [[nodiscard]] int ItemCount() const;
  [[nodiscard]] int DialogAction() const;
  void SetDialogAction(int action);
  [[nodiscard]] std::string SaveAsFileName() const;
  void SetSaveAsFileName(const std::string& name);
  void Show();
  void Hide();
  void ClearSaveList();
  void AddToSaveList(const std::string& fileName);

 private:
  [[nodiscard]] THostView& HostView() const;
  // The item, or EAutomationError when it is outside the list.
  [[nodiscard]] int Checked(int index) const;
  void Raise(const char* name, const QVariantList& args = {});

  TfrmMain& Main;
};

}  // namespace ferrowin
