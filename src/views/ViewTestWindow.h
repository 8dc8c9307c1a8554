#pragma once
// A small window with one local view beside one host view and its folder tree, for tests
// and pictures of the views until the main window takes them in.

#include <QWidget>

#include "HostView.h"
#include "LoclView.h"

namespace ferrowin {

class TViewTestWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TViewTestWindow(const TPreferences* prefs = nullptr, QWidget* parent = nullptr);
  [[nodiscard]] TLocalView& Local() const { return *LocalView; }
  [[nodiscard]] THostView& Host() const { return *HostView; }
  [[nodiscard]] TTreeCombo& Tree() const { return *TreeBox; }
  void SetViewStyle(TViewStyle style);

 private:
  TLocalView* LocalView;
  THostView* HostView;
  TTreeCombo* TreeBox;
};

}  // namespace ferrowin
