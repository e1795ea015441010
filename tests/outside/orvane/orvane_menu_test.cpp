#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QtTest>
#include <vector>

#include "platform/ui/message_window.h"
#include "shared/orvane_binding.h"
#include "tests/support/test_env.h"

using platform::LPARAM;
using platform::WPARAM;
using shared::OrvaneBinding;

namespace {

struct Got {
  unsigned message;
  WPARAM w;
  LPARAM l;
};

class Owner : public platform::MessageWindow {
 public:
  std::vector<Got> got;

 protected:
  bool onMessage(unsigned m, WPARAM w, LPARAM l, platform::LRESULT&) override {
    got.push_back({m, w, l});
    return true;
  }
};

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent e(type, local, w->mapToGlobal(local), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void click(QWidget* w, QPoint local) {
  sendMouse(w, QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
  sendMouse(w, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton);
}

// The visible menu levels, top level first.
QList<QWidget*> menuLevels() {
  QList<QWidget*> out;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "OrvaneMenu" && w->isVisible()) out << w;
  std::sort(out.begin(), out.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
  return out;
}

void writePicture(const QString& path, QColor fill, bool arrow) {
  QImage img(120, 20, QImage::Format_RGB32);
  img.fill(fill);
  QPainter p(&img);
  p.setPen(fill.lighter(150));
  p.drawRect(0, 0, 119, 19);
  if (arrow) {
    p.setBrush(Qt::white);
    const QPoint tri[3] = {{108, 6}, {114, 10}, {108, 14}};
    p.drawPolygon(tri, 3);
  }
  QVERIFY(img.save(path, "BMP"));
}

void saveShot(const QList<QWidget*>& levels, const QString& name) {
  if (levels.isEmpty()) return;
  QRect all;
  for (QWidget* w : levels) all |= w->geometry();
  QImage shot(all.size(), QImage::Format_RGB32);
  shot.fill(Qt::black);
  QPainter p(&shot);
  for (QWidget* w : levels) p.drawPixmap(w->geometry().topLeft() - all.topLeft(), w->grab());
  const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
  QDir().mkpath(dir);
  shot.save(dir + "/" + name + ".png");
}

}  // namespace

class OrvaneMenuTest : public QObject {
  Q_OBJECT

  testsupport::SandboxHome home_;
  testsupport::TempDir lumeraDir_, q350Dir_;
  OrvaneBinding lumera_, q350_;
  std::vector<OrvaneMenuItem> items_;

 private slots:
  void initTestCase() {
    QVERIFY(QFile::link(ORVANE_LUMERA_LIB, QString::fromStdString(lumeraDir_.file("libOrvane.so"))));
    QVERIFY(QFile::link(ORVANE_Q350_LIB, QString::fromStdString(q350Dir_.file("libOrvane.so"))));
    QDir().mkpath(QString::fromStdString(lumeraDir_.file("skins")));
    const QString skins = QString::fromStdString(lumeraDir_.file("skins/"));
    writePicture(skins + "menu_nr.bmp", QColor(50, 50, 50), false);
    writePicture(skins + "menu_ov.bmp", QColor(30, 90, 160), false);
    writePicture(skins + "menusub_nr.bmp", QColor(50, 50, 50), true);
    writePicture(skins + "menusub_ov.bmp", QColor(30, 90, 160), true);
    QVERIFY(lumera_.load(lumeraDir_.path(), OrvaneBinding::Form::Lumera));
    QVERIFY(q350_.load(q350Dir_.path(), OrvaneBinding::Form::Q350));
    // Three top items, the middle one opening two sub-items.
    items_ = {shared::makeMenuItem(ORVANE_TOP_LEVEL, 0x04000021, u"Media select"),
              shared::makeMenuItem(ORVANE_TOP_LEVEL, 0x080000B4, u"Left button group"),
              shared::makeMenuItem(ORVANE_TOP_LEVEL, 0x080000A2, u"Key off"),
              shared::makeMenuItem(1, 0x080000B2, u"Sub one"),
              shared::makeMenuItem(1, 0x080000B3, u"Sub two")};
  }

  void bindingFindsTheEntriesOfEachCopy() {
    QVERIFY(lumera_.hasCreate() && lumera_.hasDestroy() && lumera_.hasPreTranslate() && lumera_.hasSetGdiInit());
    // All four found: Lumera's pictures are prepared, by absolute path.
    QCOMPARE(QString::fromStdString(lumera_.pictures()[0]), QString::fromStdString(lumeraDir_.file("skins/menu_nr.bmp")));
    QCOMPARE(QString::fromStdString(lumera_.pictures()[6]), QString::fromStdString(lumeraDir_.file("skins/menusub_ov.bmp")));
    QVERIFY(q350_.hasCreate() && q350_.hasDestroy() && q350_.hasPreTranslate());
    QVERIFY(!q350_.hasSetGdiInit());
    QVERIFY(q350_.pictures()[0].empty());
    // A copy of the other form must not be called with this form's arguments.
    OrvaneBinding wrong;
    QVERIFY(wrong.load(q350Dir_.path(), OrvaneBinding::Form::Lumera));
    QVERIFY(!wrong.hasCreate());
    QVERIFY(wrong.hasDestroy());
    Owner owner;
    QVERIFY(!wrong.createLumera(&owner, 20, 100, 0, 0, {0, 0, 0}, 0, items_));
    // No library: nothing opens, nothing crashes.
    testsupport::TempDir empty;
    OrvaneBinding none;
    QVERIFY(!none.load(empty.path(), OrvaneBinding::Form::Lumera));
    QVERIFY(!none.isLoaded() && !none.hasCreate());
    QVERIFY(!none.createLumera(&owner, 20, 100, 0, 0, {0, 0, 0}, 0, items_));
    none.destroy();
  }

  void makeMenuItemCutsTextAt39() {
    const std::u16string longText(60, u'x');
    const OrvaneMenuItem item = shared::makeMenuItem(3, 77, longText);
    QCOMPARE(item.parent, 3);
    QCOMPARE(item.id, 77u);
    QCOMPARE(item.text[38], uint16_t(u'x'));
    QCOMPARE(item.text[39], uint16_t(0));
  }

  void lumeraChoiceCarriesIdAndCallerValue() {
    Owner owner;
    QVERIFY(lumera_.createLumera(&owner, 20, 150, 200, 120, {0xC8C8C8, 0xFFFFFF, 0x00FFFF}, 4242, items_));
    QList<QWidget*> levels = menuLevels();
    QCOMPARE(levels.size(), 1);
    QCOMPARE(levels[0]->geometry(), QRect(200, 120, 150, 3 * 20));
    // Hovering the header opens its submenu to the right.
    sendMouse(levels[0], QEvent::MouseMove, QPoint(40, 30), Qt::NoButton, Qt::NoButton);
    levels = menuLevels();
    QCOMPARE(levels.size(), 2);
    QCOMPARE(levels[1]->geometry(), QRect(350, 140, 150, 2 * 20));
    sendMouse(levels[1], QEvent::MouseMove, QPoint(30, 30), Qt::NoButton, Qt::NoButton);
    saveShot(levels, "orvane_lumera_menu");
    click(levels[1], QPoint(30, 30));  // "Sub two"
    QTRY_COMPARE(owner.got.size(), size_t(1));
    QCOMPARE(owner.got[0].message, 1143u);
    QCOMPARE(owner.got[0].w, WPARAM(0x080000B3));
    QCOMPARE(owner.got[0].l, LPARAM(4242));
    QTRY_VERIFY(menuLevels().isEmpty());
  }

  void choosingASubmenuHeaderSendsItsOwnId() {
    Owner owner;
    QVERIFY(lumera_.createLumera(&owner, 20, 150, 10, 10, {0, 0, 0}, 7, items_));
    QWidget* top = menuLevels().value(0);
    QVERIFY(top);
    click(top, QPoint(20, 25));
    QTRY_COMPARE(owner.got.size(), size_t(1));
    QCOMPARE(owner.got[0].w, WPARAM(0x080000B4));
  }

  void clickElsewhereOrDestroyClosesWithoutChoice() {
    Owner owner;
    QVERIFY(lumera_.createLumera(&owner, 20, 150, 10, 10, {0, 0, 0}, 7, items_));
    QWidget* top = menuLevels().value(0);
    QVERIFY(top);
    sendMouse(top, QEvent::MouseButtonPress, QPoint(400, 300), Qt::LeftButton, Qt::LeftButton);
    QTRY_VERIFY(menuLevels().isEmpty());

    QVERIFY(lumera_.createLumera(&owner, 20, 150, 10, 10, {0, 0, 0}, 7, items_));
    QCOMPARE(menuLevels().size(), 1);
    lumera_.destroy();
    QTRY_VERIFY(menuLevels().isEmpty());
    QTest::qWait(20);
    QVERIFY(owner.got.empty());
  }

  void ownerGoneBeforeTheChoiceGetsNothing() {
    auto* owner = new Owner;
    QVERIFY(lumera_.createLumera(owner, 20, 150, 10, 10, {0, 0, 0}, 7, items_));
    delete owner;
    QWidget* top = menuLevels().value(0);
    QVERIFY(top);
    click(top, QPoint(20, 5));  // must not post to a dead window
    QTRY_VERIFY(menuLevels().isEmpty());
  }

  void q350ChoiceCarriesIdInLParam() {
    Owner owner;
    std::vector<OrvaneMenuItem> games;
    for (unsigned i = 1; i <= 4; ++i)
      games.push_back(shared::makeMenuItem(ORVANE_TOP_LEVEL, i, u"Category " + std::u16string(1, char16_t(u'0' + i))));
    QVERIFY(q350_.createQ350(&owner, 24, 50, 60, {0x676153, 0xFFFFFF, 0xB98C15}, games));
    QWidget* top = menuLevels().value(0);
    QVERIFY(top);
    QCOMPARE(top->pos(), QPoint(50, 60));
    QCOMPARE(top->height(), 4 * 24);
    saveShot({top}, "orvane_q350_menu");
    click(top, QPoint(10, 3 * 24 + 5));
    QTRY_COMPARE(owner.got.size(), size_t(1));
    QCOMPARE(owner.got[0].message, 0x0501u);
    QCOMPARE(owner.got[0].w, WPARAM(0));
    QCOMPARE(owner.got[0].l, LPARAM(4));
  }

  void keyboardChoosesToo() {
    Owner owner;
    QVERIFY(lumera_.createLumera(&owner, 20, 150, 10, 10, {0, 0, 0}, 1, items_));
    QWidget* top = menuLevels().value(0);
    QVERIFY(top);
    QTest::keyClick(top, Qt::Key_Down);
    QTest::keyClick(top, Qt::Key_Up);  // wraps to the last item
    QTest::keyClick(top, Qt::Key_Return);
    QTRY_COMPARE(owner.got.size(), size_t(1));
    QCOMPARE(owner.got[0].w, WPARAM(0x080000A2));
  }

  void onlyTheCEntriesAreExported() {
    QProcess nm;
    nm.start("nm", {"-D", "--defined-only", ORVANE_LUMERA_LIB});
    if (!nm.waitForFinished(10000) || nm.exitCode() != 0) QSKIP("nm is not available");
    QStringList names;
    for (const QString& line : QString::fromLatin1(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
      const QStringList f = line.split(' ', Qt::SkipEmptyParts);
      if (f.size() == 3 && (f[1] == "T" || f[1] == "W")) names << f[2];
    }
    names.sort();
    QCOMPARE(names, QStringList({"CreateOrvane", "DestroyOrvane", "DllPreTranslateMessage", "OrvaneCallForm",
                                 "SetGdiInit"}));
  }
};

QTEST_MAIN(OrvaneMenuTest)
#include "orvane_menu_test.moc"
