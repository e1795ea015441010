// The skinned tree: its item structure, what it tells its parent about
// clicks and keys, how it draws and scrolls.
#include <QKeyEvent>
#include <QtTest>
#include <memory>

#include "lumera/app/tree_ctrl.h"
#include "tests/lumera/app/ui_fixture.h"

using namespace lumera;

namespace {

// A parent that records posted messages and the keys its children leave to it.
class KeyParent : public uitest::Recorder {
 public:
  using uitest::Recorder::Recorder;
  std::vector<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
};

const QColor kText(10, 200, 10), kSelText(250, 250, 0), kBack(20, 20, 60), kSelRow(120, 30, 30);

}  // namespace

class TreeTest : public QObject {
  Q_OBJECT

  std::unique_ptr<KeyParent> parent_;
  CTreeCtrlEx* tree_ = nullptr;
  TreeItem folder_ = 0, inner_ = 0, macroA_ = 0, macroB_ = 0;

  // Root: [Games (folder): [Inner (folder): [], Burst], Alpha]
  void fill() {
    tree_->DeleteAllItems();
    folder_ = tree_->InsertItem("Games", 2, 0);
    macroA_ = tree_->InsertItem("Alpha", 1, 11);
    inner_ = tree_->InsertItem("Inner", 2, 0, folder_);
    macroB_ = tree_->InsertItem("Burst", 1, 22, folder_);
  }

 private slots:
  void init() {
    parent_ = std::make_unique<KeyParent>(nullptr, Qt::FramelessWindowHint);
    parent_->setGeometry(50, 50, 300, 300);
    tree_ = new CTreeCtrlEx(parent_.get(), 261);
    tree_->setGeometry(10, 10, 150, 5 * CTreeCtrlEx::kRowHeight);
    tree_->SetFolderKind(2);
    tree_->SetColours(kText, kSelText, kBack, kSelRow);
    parent_->show();
    QVERIFY(QTest::qWaitForWindowExposed(parent_.get()));
    fill();
  }
  void cleanup() { parent_.reset(); }

  void structure() {
    QCOMPARE(tree_->GetCount(), 4);
    QCOMPARE(tree_->GetChildItem(kTreeRoot), folder_);
    QCOMPARE(tree_->GetNextSiblingItem(folder_), macroA_);
    QCOMPARE(tree_->GetPrevSiblingItem(macroA_), folder_);
    QCOMPARE(tree_->GetNextSiblingItem(macroA_), TreeItem(0));
    QCOMPARE(tree_->GetParentItem(macroB_), folder_);
    QCOMPARE(tree_->depth(macroB_), 1);
    QCOMPARE(tree_->value(macroB_), std::int64_t(22));
    // Insert first and after a given item.
    const TreeItem first = tree_->InsertItem("Zero", 1, 0, folder_, kTreeFirst);
    const TreeItem afterInner = tree_->InsertItem("Mid", 1, 0, folder_, inner_);
    QCOMPARE(tree_->children(folder_), (std::vector<TreeItem>{first, inner_, afterInner, macroB_}));
    // Children of closed folders are not shown.
    QCOMPARE(tree_->visibleItems(), (std::vector<TreeItem>{folder_, macroA_}));
    tree_->Expand(folder_, true);
    QCOMPARE(tree_->visibleItems().size(), size_t(6));
    QVERIFY(tree_->wasExpanded(folder_));
    // Deleting a folder takes its content and a selection inside it.
    tree_->SelectItem(macroB_);
    QVERIFY(tree_->DeleteItem(folder_));
    QCOMPARE(tree_->GetCount(), 1);
    QVERIFY(!tree_->isItem(macroB_));
    QCOMPARE(tree_->GetSelectedItem(), TreeItem(0));
    QVERIFY(!tree_->DeleteItem(folder_));
    QCOMPARE(tree_->InsertItem("orphan", 1, 0, folder_), TreeItem(0));  // no such parent
  }

  void closingAFolderMovesTheSelectionUp() {
    tree_->SelectItem(macroB_);  // opens the folders above it
    QVERIFY(tree_->isExpanded(folder_));
    tree_->Expand(folder_, false);
    QCOMPARE(tree_->GetSelectedItem(), folder_);
  }

  void clickNotices_data() {
    QTest::addColumn<int>("row");           // row clicked (folder closed: Games, Alpha)
    QTest::addColumn<bool>("preselected");  // the item already selected
    QTest::addColumn<bool>("notice");
    QTest::newRow("new item") << 1 << false << true;
    QTest::newRow("already selected") << 1 << true << false;
    QTest::newRow("empty space") << 4 << false << true;
  }
  void clickNotices() {
    QFETCH(int, row);
    QFETCH(bool, preselected);
    QFETCH(bool, notice);
    const TreeItem target = row == 1 ? macroA_ : 0;
    if (preselected) tree_->SelectItem(target);
    const QPoint at(30, row * CTreeCtrlEx::kRowHeight + 5);
    uitest::click(tree_, at);
    QCOMPARE(tree_->GetSelectedItem(), target);
    if (notice) {
      QTRY_COMPARE(parent_->only(kMsgTreeClick).size(), size_t(1));
      QCOMPARE(parent_->only(kMsgTreeClick)[0].w, platform::WPARAM(261));
      QCOMPARE(TreeItem(parent_->only(kMsgTreeClick)[0].l), target);
    } else {
      QCoreApplication::processEvents();
      QVERIFY(parent_->only(kMsgTreeClick).empty());
    }
  }

  void doubleClickTogglesThenNotifies() {
    const QPoint onFolder(30, 5);
    uitest::sendMouse(tree_, QEvent::MouseButtonDblClick, onFolder, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(tree_->isExpanded(folder_));
    QTRY_COMPARE(parent_->only(kMsgTreeDblClick).size(), size_t(1));
    QCOMPARE(TreeItem(parent_->only(kMsgTreeDblClick)[0].l), folder_);
    // Now Inner and Burst lie between Games and Alpha.
    QCOMPARE(tree_->HitTest({30, 3 * CTreeCtrlEx::kRowHeight + 5}), macroA_);
    uitest::sendMouse(tree_, QEvent::MouseButtonDblClick, onFolder, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!tree_->isExpanded(folder_));
    // An empty folder opens too (its content may still have to be read).
    tree_->Expand(folder_, true);
    uitest::sendMouse(tree_, QEvent::MouseButtonDblClick, {30, CTreeCtrlEx::kRowHeight + 5}, Qt::LeftButton,
                      Qt::LeftButton);
    QVERIFY(tree_->isExpanded(inner_));
    QTRY_COMPARE(parent_->only(kMsgTreeDblClick).size(), size_t(3));
  }

  void rightButtonSelectsAndNotifiesOnRelease() {
    const QPoint onAlpha(30, CTreeCtrlEx::kRowHeight + 5), empty(30, 4 * CTreeCtrlEx::kRowHeight + 2);
    uitest::sendMouse(tree_, QEvent::MouseButtonPress, onAlpha, Qt::RightButton, Qt::RightButton);
    QCOMPARE(tree_->GetSelectedItem(), macroA_);
    QCoreApplication::processEvents();
    QVERIFY(parent_->only(kMsgTreeRButtonUp).empty());  // only on the release
    uitest::sendMouse(tree_, QEvent::MouseButtonRelease, onAlpha, Qt::RightButton, Qt::NoButton);
    QTRY_COMPARE(parent_->only(kMsgTreeRButtonUp).size(), size_t(1));
    QCOMPARE(TreeItem(parent_->only(kMsgTreeRButtonUp)[0].l), macroA_);
    uitest::sendMouse(tree_, QEvent::MouseButtonPress, empty, Qt::RightButton, Qt::RightButton);
    uitest::sendMouse(tree_, QEvent::MouseButtonRelease, empty, Qt::RightButton, Qt::NoButton);
    QTRY_COMPARE(parent_->only(kMsgTreeRButtonUp).size(), size_t(2));
    QCOMPARE(TreeItem(parent_->only(kMsgTreeRButtonUp)[1].l), TreeItem(0));
    QCOMPARE(tree_->GetSelectedItem(), TreeItem(0));
  }

  void keysDeleteNotifiesArrowsGoToTheParent() {
    tree_->SelectItem(macroA_);
    uitest::sendKey(tree_, QEvent::KeyPress, Qt::Key_Delete, 119);
    QCoreApplication::processEvents();
    QVERIFY(parent_->only(kMsgTreeDeleteKey).empty());  // on the release
    uitest::sendKey(tree_, QEvent::KeyRelease, Qt::Key_Delete, 119);
    QTRY_COMPARE(parent_->only(kMsgTreeDeleteKey).size(), size_t(1));
    QCOMPARE(TreeItem(parent_->only(kMsgTreeDeleteKey)[0].l), macroA_);
    uitest::sendKey(tree_, QEvent::KeyPress, Qt::Key_Down, 116);
    uitest::sendKey(tree_, QEvent::KeyPress, Qt::Key_Up, 111);
    QCOMPARE(parent_->keys, (std::vector<int>{Qt::Key_Down, Qt::Key_Up}));
    QCOMPARE(tree_->GetSelectedItem(), macroA_);  // the tree itself does not move
  }

  void drawsRowsFoldersAndSelection() {
    QImage open(12, 12, QImage::Format_ARGB32), closed(12, 12, QImage::Format_ARGB32);
    open.fill(uitest::kOver);
    closed.fill(uitest::kDown);
    tree_->SetFolderImages(open, closed);
    tree_->SelectItem(macroA_);
    const int r = CTreeCtrlEx::kRowHeight;
    QCOMPARE(uitest::pixelAt(tree_, {4, r / 2}), uitest::kDown);  // closed folder picture
    QCOMPARE(uitest::pixelAt(tree_, {140, r + r / 2}), kSelRow);  // selected row
    QCOMPARE(uitest::pixelAt(tree_, {140, r / 2}), kBack);
    tree_->Expand(folder_, true);
    QCOMPARE(uitest::pixelAt(tree_, {4, r / 2}), uitest::kOver);  // open folder picture
    // The inner folder is indented.
    QCOMPARE(uitest::pixelAt(tree_, {4 + CTreeCtrlEx::kIndent, r + r / 2}), uitest::kDown);
    QCOMPARE(uitest::pixelAt(tree_, {4, r + r / 2}), kBack);
    uitest::saveShot(tree_, "tree_control");
    // Transparent: the parent's background shows through.
    QImage bg(150, 90, QImage::Format_ARGB32);
    bg.fill(uitest::kMainBackground);
    tree_->SetTransparent(true, bg);
    QCOMPARE(uitest::pixelAt(tree_, {140, 4 * r + 5}), uitest::kMainBackground);
  }

  void scrollsToShowAnItem() {
    tree_->DeleteAllItems();
    std::vector<TreeItem> rows;
    for (int i = 0; i < 20; ++i) rows.push_back(tree_->InsertItem(QString("event %1").arg(i), 1, i));
    tree_->SelectItem(rows[12]);
    const QRect r = tree_->itemRect(rows[12]);
    QVERIFY(r.top() >= 0 && r.bottom() < tree_->height());
    QCOMPARE(tree_->HitTest(r.center()), rows[12]);
    QCOMPARE(tree_->scrollOffset(), (13 - 5) * CTreeCtrlEx::kRowHeight);
    QWheelEvent up(QPointF(20, 20), QPointF(tree_->mapToGlobal(QPoint(20, 20))), QPoint(), QPoint(0, 120 * 20), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(tree_, &up);
    QCOMPARE(tree_->scrollOffset(), 0);
    QCOMPARE(tree_->HitTest({20, 5}), rows[0]);
    // Deleting rows never leaves the view scrolled past the end.
    tree_->SelectItem(rows[19]);
    for (int i = 19; i >= 3; --i) tree_->DeleteItem(rows[static_cast<size_t>(i)]);
    QCOMPARE(tree_->scrollOffset(), 0);
  }
};

QObject* makeTreeTest() { return new TreeTest; }

#include "tree_test.moc"
