// What the view base does for both views: status texts, keys, double click, drag rules and
// the status bar's hints. Keys and clicks go through the real list widgets.

#include <QLineEdit>
#include <QMimeData>
#include <QListView>
#include <QTest>

#include "TestView.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

class ViewBase : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    Window = std::make_unique<QWidget>();
    Window->resize(400, 300);
    View = new TTestView(Window.get());
    View->Fill({{"docs", 0, true}, {"a.txt", 1536, false}, {"b.bin", 1, false}});
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }
  void Release() override { Window.reset(); }
  QWidget* ListWidget() { return View->ListView()->CurrentView(); }
  QString Panel(int i) { return View->StatusBar()->PanelText(i); }

  std::unique_ptr<QWidget> Window;
  TTestView* View = nullptr;
};

TEST_F(ViewBase, StatusTextsCountEntriesAndSelection) {
  struct {
    std::vector<TTestView::TEntry> Entries;
    std::vector<int> Selected;
    const char* Entry;
    const char* Selection;
  } cases[] = {
      {{}, {}, "0 Entries, 0 Bytes", "0 Items Selected, 0 Bytes"},
      {{{"one", 1}}, {0}, "1 Entry, 1 Byte", "1 Item Selected, 1 Byte"},
      {{{"a", 1536}, {"b", 1048575 - 1536}}, {0}, "2 Entries, 1.02E+003KB", "1 Item Selected, 1.5KB"},
      {{{"a", 400}, {"b", 600}, {"c", 2048}}, {0, 1}, "3 Entries, 2.98KB", "2 Items Selected, 1,000 Bytes"},
  };
  for (const auto& c : cases) {
    View->Fill(c.Entries);
    for (int row : c.Selected) View->ListView()->SetSelected(row, true);
    View->UpdateStatus();
    EXPECT_EQ(Panel(1).toStdString(), c.Entry);
    EXPECT_EQ(Panel(2).toStdString(), c.Selection);
  }
  EXPECT_EQ(Panel(0).toStdString(), "*.*");
}

TEST_F(ViewBase, StatusUpdatesWaitWhileDoUpdatesIsOff) {
  std::vector<int> selectedCounts;
  View->OnUpdateState = [&](TCustomView&, int state, int selected) {
    if (state == 0) selectedCounts.push_back(selected);
  };
  View->DoUpdates = false;
  View->UpdateStatus();
  EXPECT_TRUE(selectedCounts.empty());
  View->DoUpdates = true;
  View->ListView()->SetSelected(2, true);
  View->UpdateStatus();
  EXPECT_EQ(selectedCounts, std::vector<int>{1});
  // The total is kept until the entries change.
  View->Fill({{"x", 2048}});
  View->UpdateStatus();
  EXPECT_EQ(View->TotalBytes(), 2048);
  View->OnUpdateState = nullptr;
}

TEST_F(ViewBase, KeysRunTheirOperations) {
  struct {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    bool Selection;
    std::vector<std::string> Calls;
  } cases[] = {
      {"Delete asks", Qt::Key_Delete, Qt::NoModifier, true, {"Delete confirm"}},
      {"Shift+Delete does not ask", Qt::Key_Delete, Qt::ShiftModifier, true, {"Delete at once"}},
      {"Delete without selection", Qt::Key_Delete, Qt::NoModifier, false, {}},
      {"Alt+Enter", Qt::Key_Return, Qt::AltModifier, true, {"ShowProperties"}},
      {"Enter opens the focused entry", Qt::Key_Return, Qt::NoModifier, true, {"OpenItem docs"}},
      {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, true, {"Copy"}},
      {"Ctrl+V", Qt::Key_V, Qt::ControlModifier, true, {"Paste"}},
      {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, true, {"Cut"}},
      {"C alone", Qt::Key_C, Qt::NoModifier, true, {}},
      {"F5", Qt::Key_F5, Qt::NoModifier, false, {"Refresh"}},
      {"Backspace", Qt::Key_Backspace, Qt::NoModifier, false, {"FolderUp"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    View->Calls.clear();
    View->ListView()->ClearSelection();
    View->ListView()->SetFocused(0);
    if (c.Selection) View->ListView()->SetSelected(0, true);
    QTest::keyClick(ListWidget(), c.Key, c.Modifiers);
    EXPECT_EQ(View->Calls, c.Calls);
  }
}

TEST_F(ViewBase, TheMenuKeyOpensThePopupAtTheFocusedEntry) {
  TListControl* list = View->ListView();
  std::vector<QPoint> popups;
  list->OnContextPopup = [&](QPoint pos) { popups.push_back(pos); };
  list->SetFocused(1);
  QTest::keyClick(ListWidget(), Qt::Key_Menu);
  list->Selection()->clearCurrentIndex();
  QTest::keyClick(ListWidget(), Qt::Key_Menu);
  EXPECT_EQ(popups, (std::vector<QPoint>{list->ItemRect(1).topLeft() + QPoint(8, 8), QPoint(0, 0)}));
  list->OnContextPopup = nullptr;
}

TEST_F(ViewBase, CtrlASelectsAllAndCtrlShiftAInverts) {
  TListControl* list = View->ListView();
  list->SetSelected(1, true);
  QTest::keyClick(ListWidget(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(list->SelectedItems(), (std::vector<int>{0, 2}));
  QTest::keyClick(ListWidget(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(list->SelCount(), 3);
  // The status follows once the key is done.
  ASSERT_TRUE(WaitFor([&] { return Panel(2) == "3 Items Selected, 1.5KB"; })) << Panel(2).toStdString();
}

TEST_F(ViewBase, BackspaceWhileRenamingEditsTheCaption) {
  TListControl* list = View->ListView();
  list->SetFocused(1);
  QTest::keyClick(ListWidget(), Qt::Key_F2);
  ASSERT_TRUE(list->IsEditing());
  auto* editor = ListWidget()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "c.txtx");
  QTest::keyClick(editor, Qt::Key_Backspace);
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return !list->IsEditing(); }));
  EXPECT_EQ(View->Calls, std::vector<std::string>{});
  EXPECT_EQ(list->Caption(1), "c.txt");
}

TEST_F(ViewBase, DoubleClickOpensFoldersAndHandsFilesToTheOwner) {
  std::vector<std::string> handed;
  View->OnPerformDoubleClick = [&](TCustomView& v, TCustomView::TItem item) { handed.push_back(v.GetItemName(item)); };
  TListControl* list = View->ListView();
  struct {
    int Row;
    Qt::KeyboardModifiers Modifiers;
    std::vector<std::string> Calls;
    std::vector<std::string> Handed;
  } cases[] = {
      {0, Qt::NoModifier, {"OpenItem docs"}, {}},  // a folder even with the event set
      {1, Qt::NoModifier, {}, {"a.txt"}},
      {1, Qt::AltModifier, {"ShowProperties"}, {}},
      {-1, Qt::NoModifier, {}, {}},  // nothing selected
  };
  for (const auto& c : cases) {
    View->Calls.clear();
    handed.clear();
    list->ClearSelection();
    if (c.Row >= 0) list->SetSelected(c.Row, true);
    View->ListDblClick(c.Modifiers);
    EXPECT_EQ(View->Calls, c.Calls) << c.Row;
    EXPECT_EQ(handed, c.Handed) << c.Row;
  }
  // The same through a real double click on the entry.
  View->Calls.clear();
  list->ClearSelection();
  const QPoint where = list->ItemRect(0).center();
  // As from a mouse: the first click of the pair selects, the second is the double click.
  QTest::mouseClick(list->CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier, where);
  QTest::mouseDClick(list->CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier, where);
  ASSERT_TRUE(WaitFor([&] { return !View->Calls.empty(); }));
  EXPECT_EQ(View->Calls, std::vector<std::string>{"OpenItem docs"});
  View->OnPerformDoubleClick = nullptr;
}

TEST_F(ViewBase, DropsAreTakenOnlyFromAnotherViewsList) {
  auto* other = new TTestView(Window.get());
  other->Fill({{"x", 5}});
  other->ListView()->SetSelected(0, true);
  TListControl stray(Window.get());
  EXPECT_FALSE(View->ListDragOver(View->ListView()));  // within the same list
  EXPECT_FALSE(View->ListDragOver(nullptr));           // not a list control
  EXPECT_FALSE(View->ListDragOver(&stray));            // a list that belongs to no view
  EXPECT_TRUE(View->ListDragOver(other->ListView()));
  View->ListDragDrop(other->ListView());
  // The view the drag came from transfers to the one it was dropped on.
  EXPECT_EQ(View->Calls, std::vector<std::string>{"TransferFrom 1"});
  // Through the list's own events: only an accepted drop drops, never a drag passing over.
  bool accept = false;
  int drops = 0;
  stray.OnDragOver = [&](TListControl*, QPoint, bool& a) { a = accept; };
  stray.OnDragDrop = [&](TListControl*, QPoint) { ++drops; };
  QMimeData data;
  QObject& filter = stray;  // as the viewport's events reach it
  QWidget* viewport = stray.CurrentView()->viewport();
  for (bool accepted : {false, true}) {
    accept = accepted;
    QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    filter.eventFilter(viewport, &move);
    EXPECT_EQ(move.isAccepted(), accepted);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    filter.eventFilter(viewport, &drop);
  }
  EXPECT_EQ(drops, 1);
}

TEST_F(ViewBase, PanelsFitTheirTextsAndHintOnlyWhatCannotFit) {
  TStatusBar* bar = View->StatusBar();
  bar->resize(600, bar->sizeHint().height());
  bar->SetPanelText(1, "1 Entry, 1 Byte");
  bar->SetPanelText(2, "1 Item Selected, 1 Byte");
  const int w0 = bar->PanelWidth(0), w1 = bar->PanelWidth(1), w2 = bar->PanelWidth(2);
  EXPECT_GE(w0, 40);
  EXPECT_NEAR(w1, 3 * w0, 3);  // short texts keep the classic proportions, whatever the font
  EXPECT_EQ(bar->PanelWidth(3), 600 - w0 - w1 - w2);
  EXPECT_EQ(bar->PanelAt(0), 0);
  EXPECT_EQ(bar->PanelAt(w0), 1);
  EXPECT_EQ(bar->PanelAt(w0 + w1), 2);
  EXPECT_EQ(bar->PanelAt(599), 3);
  EXPECT_EQ(bar->PanelAt(600), -1);
  EXPECT_EQ(bar->HintAt(w0 + 1), "");

  // Texts of a narrow pane: every panel as wide as its text, on as many rows as it takes;
  // the same texts in a larger font are measured again.
  struct {
    int Width;
    bool Wraps;
    double FontScale;
  } cases[] = {{1300, false, 1}, {320, true, 1}, {640, true, 2}};
  for (const auto& c : cases) {
    QFont font = bar->font();
    font.setPointSizeF(font.pointSizeF() * c.FontScale);
    bar->setFont(font);
    const QFontMetrics metrics = bar->fontMetrics();
    bar->resize(c.Width, bar->heightForWidth(c.Width));
    bar->SetPanelText(1, "10 Entries, 250 Bytes");
    bar->SetPanelText(2, "123 Items Selected, 1.02E+003MB");
    bar->SetPanelText(3, "12,345,678,901 Bytes Free");
    EXPECT_EQ(bar->RowCount() > 1, c.Wraps) << c.Width;
    EXPECT_EQ(bar->heightForWidth(c.Width), bar->RowCount() * bar->heightForWidth(100000));
    for (int i = 1; i < 4; ++i) {
      EXPECT_GE(bar->PanelWidth(i), metrics.horizontalAdvance(bar->PanelText(i))) << c.Width << " panel " << i;
      EXPECT_EQ(bar->PanelAt(bar->PanelRect(i).center()), i);
      EXPECT_EQ(bar->HintAt(bar->PanelRect(i).center()), "");
    }
  }
  // Only a text wider than the whole bar is cut, and then it shows as a hint.
  bar->SetPanelText(2, QString("123456 Items Selected, 1.02E+003MB ").repeated(4));
  EXPECT_EQ(bar->HintAt(bar->PanelRect(2).center()), bar->PanelText(2));
  EXPECT_EQ(bar->Hint(), bar->PanelText(2));
}

}  // namespace
}  // namespace ferrowin::test
