// The list control: one model and one selection behind four styles, selection operations,
// sorting that keeps the selection, suspended updates and caption editing.

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolTip>
#include <QTreeView>

#include "AllViewsList.h"
#include "Screenshots.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

class ListControl : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    Window = std::make_unique<QWidget>();
    Window->resize(400, 300);
    List = new TListControl(Window.get());
    List->resize(400, 300);
    List->Items()->SetColumns({{"Name", Qt::AlignLeft, 120}, {"Size", Qt::AlignRight, 60}});
    Tester = std::make_unique<QAbstractItemModelTester>(List->Items(),
                                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* name : {"delta", "alpha", "echo", "charlie", "bravo"})
      List->Items()->Add({name, nullptr, -1, 0, {QString::number(std::strlen(name))}});
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }
  void Release() override {
    Tester.reset();
    Window.reset();
  }
  std::vector<QString> Captions() {
    std::vector<QString> out;
    for (int i = 0; i < List->ItemCount(); ++i) out.push_back(List->Caption(i));
    return out;
  }
  std::unique_ptr<QWidget> Window;
  TListControl* List = nullptr;
  std::unique_ptr<QAbstractItemModelTester> Tester;
};

TEST_F(ListControl, TheFourStylesShareOneSelection) {
  List->SetSelected(1, true);
  List->SetSelected(3, true);
  List->SetFocused(3);
  struct {
    TViewStyle Style;
    bool Report;
    QListView::ViewMode Mode;
  } styles[] = {{TViewStyle::Icon, false, QListView::IconMode},
                {TViewStyle::SmallIcon, false, QListView::ListMode},
                {TViewStyle::List, false, QListView::ListMode},
                {TViewStyle::Report, true, QListView::ListMode}};
  for (const auto& s : styles) {
    List->SetViewStyle(s.Style);
    QCoreApplication::processEvents();
    EXPECT_EQ(List->CurrentView() == List->ReportView(), s.Report);
    if (!s.Report) {
      EXPECT_EQ(List->IconView()->viewMode(), s.Mode);
    }
    EXPECT_EQ(List->CurrentView()->selectionModel(), List->Selection());
    EXPECT_EQ(List->SelectedItems(), (std::vector<int>{1, 3}));
    EXPECT_EQ(List->Focused(), 3);
    EXPECT_TRUE(List->ItemRect(3).isValid());
    // A click in any style changes the one selection.
    QTest::mouseClick(List->CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier, List->ItemRect(0).center());
    EXPECT_EQ(List->SelectedItems(), std::vector<int>{0});
    List->ClearSelection();
    List->SetSelected(1, true);
    List->SetSelected(3, true);
    List->SetFocused(3);
  }
}

TEST_F(ListControl, SelectionOperations) {
  struct {
    std::vector<int> Before;
    const char* Operation;
    std::vector<int> After;
  } cases[] = {
      {{}, "all", {0, 1, 2, 3, 4}},
      {{1, 2}, "invert", {0, 3, 4}},
      {{0, 1, 2, 3, 4}, "invert", {}},
      {{}, "invert", {0, 1, 2, 3, 4}},
      {{0, 4}, "clear", {}},
  };
  for (const auto& c : cases) {
    List->ClearSelection();
    for (int row : c.Before) List->SetSelected(row, true);
    std::string op = c.Operation;
    if (op == "all") List->SelectAll();
    else if (op == "invert") List->InvertSelection();
    else List->ClearSelection();
    EXPECT_EQ(List->SelectedItems(), c.After) << op;
    EXPECT_EQ(List->SelCount(), static_cast<int>(c.After.size())) << op;
  }
  List->ClearSelection();
  List->SetSelected(1, true);
  List->SetSelected(3, true);
  EXPECT_EQ(List->Selected(), 1);
  EXPECT_EQ(List->GetNextItem(1, TItemState::Selected), 3);
  EXPECT_EQ(List->GetNextItem(3, TItemState::Selected), -1);
  EXPECT_EQ(List->GetNextItem(-1, TItemState::Any), 0);
  EXPECT_EQ(List->GetNextItem(4, TItemState::Any), -1);
}

TEST_F(ListControl, SortingKeepsTheSelectionOnItsRows) {
  List->SetSelected(0, true);  // delta
  List->SetFocused(0);
  TListModel* items = List->Items();
  items->Sort([items](int a, int b) { return items->Item(a).Caption < items->Item(b).Caption; });
  EXPECT_EQ(Captions(), (std::vector<QString>{"alpha", "bravo", "charlie", "delta", "echo"}));
  EXPECT_EQ(List->SelectedItems(), std::vector<int>{3});
  EXPECT_EQ(List->Focused(), 3);
  EXPECT_EQ(List->Index(3, 1).data().toString(), "5");  // sub-items move with their row
}

TEST_F(ListControl, SuspendedUpdatesShowNewRowsAtTheEnd) {
  TListModel* items = List->Items();
  items->BeginUpdate();
  items->Clear();
  items->Add({"one", nullptr, -1, 0, {}});
  items->Add({"two", nullptr, -1, 0, {}});
  EXPECT_EQ(List->ItemCount(), 0);
  EXPECT_EQ(items->Count(), 2);
  items->EndUpdate();
  EXPECT_EQ(List->ItemCount(), 2);
  EXPECT_EQ(Captions(), (std::vector<QString>{"one", "two"}));
}

TEST_F(ListControl, CaptionEditingAsksBeforeAndAfter) {
  bool allow = false;
  QString proposed;
  bool accept = false;
  List->OnEditing = [&](int) { return allow; };
  List->OnEdited = [&](int, const QString& text) {
    proposed = text;
    return accept;
  };
  EXPECT_FALSE(List->EditCaption(1));
  allow = true;
  for (bool keep : {true, false}) {
    accept = !keep;
    ASSERT_TRUE(List->EditCaption(1));
    auto* editor = List->CurrentView()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("zulu");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !List->IsEditing(); }));  // the editor commits queued
    EXPECT_EQ(proposed, "zulu");
    EXPECT_EQ(List->Caption(1), keep ? "alpha" : "zulu");
    EXPECT_FALSE(List->IsEditing());
  }
}

}  // namespace
}  // namespace ferrowin::test

namespace ferrowin::test {
namespace {

// A long name in the list style is shown whole while the pane has room, and a name cut
// short by a narrow pane shows in a tool tip.
TEST_F(ListControl, LongNamesInTheListStyleAreWholeOrTipped) {
  const QString name = "notes for today and the meeting of tomorrow morning.txt";
  List->Items()->Add({name, nullptr, -1, 0, {"1"}});
  List->SetViewStyle(TViewStyle::List);
  const int row = List->ItemCount() - 1;
  auto tipAt = [&](int item) {
    QWidget* viewport = List->IconView()->viewport();
    const QPoint pos = List->ItemRect(item).center();
    QHelpEvent help(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
    QCoreApplication::sendEvent(viewport, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  struct {
    int Width;
    bool Whole;
  } cases[] = {{900, true}, {250, false}};
  for (const auto& c : cases) {
    Window->resize(c.Width, 300);
    List->resize(c.Width, 300);
    QCoreApplication::processEvents();
    // What the item delegate needs to draw the name uncut.
    const int needed = List->IconView()->sizeHintForIndex(List->Index(row)).width();
    EXPECT_EQ(List->IconView()->gridSize().width() >= needed, c.Whole) << c.Width;
    EXPECT_EQ(tipAt(row), c.Whole ? QString() : name) << c.Width;
  }
}

}  // namespace
}  // namespace ferrowin::test
