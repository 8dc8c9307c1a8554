#pragma once
// A dialog's fields are all placed: a widget left out of its layout stays at its parent's
// top-left corner, over whatever else is there, and the user never sees it whole.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace ferrowin::test {

inline bool IsField(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractButton*>(w) ||
         qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// The fields shown on the current page, without the parts of other fields (a spin box's edit).
inline QList<QWidget*> ShownFields(QWidget* root) {
  QList<QWidget*> fields;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!IsField(w) || !w->isVisibleTo(root)) continue;
    bool part = false;
    for (QWidget* p = w->parentWidget(); p && p != root && !part; p = p->parentWidget()) part = IsField(p);
    if (!part && !qobject_cast<QTabBar*>(w->parentWidget())) fields << w;
  }
  return fields;
}

inline bool LayoutHolds(const QLayout* layout, const QWidget* w) {
  for (int i = 0; layout && i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == w || LayoutHolds(item->layout(), w)) return true;
  }
  return false;
}

// No two of the widgets cover any of the same part of root.
inline void ExpectApart(QWidget* root, const QList<QWidget*>& widgets, const std::string& label) {
  for (int i = 0; i < widgets.size(); ++i)
    for (int j = i + 1; j < widgets.size(); ++j) {
      const QRect a(widgets[i]->mapTo(root, QPoint()), widgets[i]->size());
      const QRect b(widgets[j]->mapTo(root, QPoint()), widgets[j]->size());
      EXPECT_FALSE(a.intersects(b)) << label << ": " << widgets[i]->objectName().toStdString() << "/"
                                    << widgets[i]->metaObject()->className() << " over "
                                    << widgets[j]->objectName().toStdString() << "/" << widgets[j]->metaObject()->className();
    }
}

// Every page of every tab control in turn: each field is in its parent's layout, a button
// without text has a tip, and no two fields overlap.
inline void ExpectNoFieldOverlaps(QWidget* root, const std::string& label) {
  QList<QTabWidget*> tabs = root->findChildren<QTabWidget*>();
  const int pages = tabs.isEmpty() ? 1 : tabs.front()->count();
  for (int page = 0; page < pages; ++page) {
    if (!tabs.isEmpty()) tabs.front()->setCurrentIndex(page);
    const QList<QWidget*> fields = ShownFields(root);
    for (QWidget* w : fields) {
      EXPECT_TRUE(LayoutHolds(w->parentWidget()->layout(), w))
          << label << " page " << page << ": " << w->metaObject()->className() << " " << w->objectName().toStdString()
          << " is in no layout";
      if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->text().isEmpty()) {
        EXPECT_FALSE(b->toolTip().isEmpty()) << label << " page " << page << ": a button with neither text nor tip";
      }
    }
    ExpectApart(root, fields, label + " page " + std::to_string(page));
  }
}

}  // namespace ferrowin::test
