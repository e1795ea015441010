// Q350Config's skinned controls: faces, shapes, check and radio rules,
// hints, the list box's notices and rename, sliders, edit boxes, the
// progress bar and the base window's keys and clicks.
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>
#include <memory>

#include "q350config/controls/control_messages.h"
#include "q350config/controls/list_box.h"
#include "q350config/controls/simple_controls.h"
#include "q350config/controls/skin_button.h"
#include "q350config/controls/skin_dialog.h"
#include "q350config/controls/slider.h"
#include "tests/q350config/controls/q350_ui_support.h"
#include "tests/support/test_env.h"

using namespace q350ui;
using q350test::click;
using q350test::flat;
using q350test::pixelAt;
using q350test::Recorder;
using q350test::sendKey;
using q350test::sendMouse;

namespace {
const QColor kNormal(200, 0, 0), kOver(0, 200, 0), kDown(0, 0, 200);

// Pictures whose colour tells the face; a marker pixel at (50, 40) tells
// that the face was cut at the button's place, not from the corner.
FaceSet faces() {
  FaceSet f{flat({400, 200}, kNormal), flat({400, 200}, kOver), flat({400, 200}, kDown)};
  for (QImage* img : {&f.normal, &f.over, &f.down}) img->setPixelColor(50, 40, QColor(255, 255, 0));
  return f;
}

std::unique_ptr<Recorder> window() {
  auto w = std::make_unique<Recorder>(nullptr, Qt::Window);
  w->resize(400, 200);
  w->show();
  return w;
}
}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void buttonFacesFollowTheMouseAndTheCheck() {
    auto w = window();
    auto* b = new CSkinButton(w.get());
    QVERIFY(b->Create(faces(), rectLTRB(50, 40, 90, 60), 1001));
    QCOMPARE(b->geometry(), QRect(50, 40, 40, 20));
    QCOMPARE(pixelAt(b, {0, 0}), QColor(255, 255, 0));
    QCOMPARE(pixelAt(b, {5, 5}), kNormal);
    sendMouse(b, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(pixelAt(b, {5, 5}), kOver);
    sendMouse(b, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(pixelAt(b, {5, 5}), kDown);
    QVERIFY(w->only(platform::WM_COMMAND).empty());
    sendMouse(b, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton, Qt::NoButton);
    const auto cmds = w->only(platform::WM_COMMAND);
    QCOMPARE(cmds.size(), std::size_t{1});
    QCOMPARE(platform::loWord(cmds[0].w), 1001u);
    QCOMPARE(platform::hiWord(cmds[0].w), platform::BN_CLICKED);
    QCOMPARE(static_cast<platform::WindowHandle>(cmds[0].l), b->handle());

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    QCOMPARE(pixelAt(b, {5, 5}), kNormal);
    b->SetCheck(true);
    QCOMPARE(pixelAt(b, {5, 5}), kDown);
    QCOMPARE(w->only(platform::WM_COMMAND).size(), std::size_t{1});  // SetCheck never notifies

    // A press released outside is no click; a disabled button takes none.
    sendMouse(b, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(b, QEvent::MouseButtonRelease, {60, 5}, Qt::LeftButton, Qt::NoButton);
    b->setEnabled(false);
    click(b, {5, 5});
    QCOMPARE(w->only(platform::WM_COMMAND).size(), std::size_t{1});
    QCOMPARE(pixelAt(b, {5, 5}), kNormal);  // disabled shows the normal face even when checked
    QVERIFY(!b->Create(faces(), rectLTRB(500, 300, 520, 320), 1002));  // outside the picture
  }

  void markedLookAndCaption() {
    auto w = window();
    auto* b = new CSkinButton(w.get());
    QVERIFY(b->Create(faces(), rectLTRB(100, 100, 160, 130), 7));
    const QImage plain = b->grab().toImage();
    b->SetMarked(true);
    QCOMPARE(pixelAt(b, {1, 15}), QColor(21, 140, 185));
    QCOMPARE(pixelAt(b, {30, 15}), kNormal);  // the mark is a frame, not a fill
    b->SetMarked(false);
    QCOMPARE(b->grab().toImage(), plain);
    b->SetCaption(QStringLiteral("Ctrl+C"));
    QVERIFY(b->grab().toImage() != plain);
    QCOMPARE(b->caption(), QStringLiteral("Ctrl+C"));
    b->SetCaption(QString());
    QCOMPARE(b->grab().toImage(), plain);
  }

  void polygonButtonsTakeClicksOnlyInsideTheirShape() {
    // Two slanted tabs whose bounding boxes overlap, as the main window's.
    auto w = window();
    w->resize(500, 150);
    auto* a = new CSkinButton(w.get());
    auto* b = new CSkinButton(w.get());
    QVERIFY(a->CreatePolygon(faces(), QPolygon({{30, 84}, {222, 84}, {245, 121}, {30, 121}}), 1));
    QVERIFY(b->CreatePolygon(faces(), QPolygon({{229, 84}, {463, 84}, {485, 121}, {251, 121}}), 2));
    QCOMPARE(a->geometry(), QRect(30, 84, 215, 37));
    QVERIFY(a->hitTest({5, 5}));
    QVERIFY(!a->hitTest({212, 2}));  // the slanted corner is outside
    // (240, 118) lies in a's triangle; (240, 88) in b's box but a's bounds.
    QCOMPARE(q350test::clickAt(w.get(), {240, 118}), static_cast<QWidget*>(a));
    QCOMPARE(q350test::clickAt(w.get(), {235, 86}), static_cast<QWidget*>(b));
    const auto cmds = w->only(platform::WM_COMMAND);
    QCOMPARE(cmds.size(), std::size_t{2});
    QCOMPARE(platform::loWord(cmds[0].w), 1u);
    QCOMPARE(platform::loWord(cmds[1].w), 2u);
    // A click sent straight to a button outside its shape is no click.
    click(a, {212, 2});
    QCOMPARE(w->only(platform::WM_COMMAND).size(), std::size_t{2});
  }

  void checkAndRadioRules() {
    auto w = window();
    auto* check = new CSkinButton(w.get());
    QVERIFY(check->Create(faces(), rectLTRB(0, 0, 20, 20), 10, CSkinButton::Kind::Check));
    std::vector<bool> seen;
    w->onGot = [&](const Recorder::Got& g) {
      if (g.message == platform::WM_COMMAND && platform::loWord(g.w) == 10) seen.push_back(check->GetCheck());
    };
    click(check, {5, 5});
    click(check, {5, 5});
    QCOMPARE(seen, (std::vector<bool>{true, false}));  // flipped before the parent hears of it

    CSkinButton* radios[4];
    for (int i = 0; i < 4; ++i) {
      radios[i] = new CSkinButton(w.get());
      QVERIFY(radios[i]->Create(faces(), rectLTRB(30 + 30 * i, 0, 55 + 30 * i, 20), 20 + i, CSkinButton::Kind::Radio));
      radios[i]->SetGroup(i < 3 ? 1 : 2);
    }
    radios[3]->SetCheck(true);
    click(radios[0], {5, 5});
    click(radios[2], {5, 5});
    click(radios[2], {5, 5});
    QVERIFY(!radios[0]->GetCheck());
    QVERIFY(!radios[1]->GetCheck());
    QVERIFY(radios[2]->GetCheck());  // a radio click never turns it off
    QVERIFY(radios[3]->GetCheck());  // another group is left alone
  }

  void hoverPostsTheHint() {
    auto w = window();
    Recorder hints(nullptr);
    setHintWindow(&hints);
    auto* b = new CSkinButton(w.get());
    QVERIFY(b->Create(faces(), rectLTRB(0, 0, 20, 20), 3));
    b->SetHint(10);
    auto* quiet = new CSkinButton(w.get());
    QVERIFY(quiet->Create(faces(), rectLTRB(30, 0, 50, 20), 4));
    sendMouse(b, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::NoButton);
    sendMouse(b, QEvent::MouseMove, {6, 6}, Qt::NoButton, Qt::NoButton);
    sendMouse(quiet, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::NoButton);
    QTRY_COMPARE(hints.only(WM_SHOW_HINT).size(), std::size_t{1});
    QCoreApplication::processEvents();
    QCOMPARE(hints.only(WM_SHOW_HINT).size(), std::size_t{1});  // once per entry, none without a hint id
    QCOMPARE(hints.only(WM_SHOW_HINT)[0].l, platform::LPARAM{10});
    setHintWindow(nullptr);
  }

  void listNoticesAndSelection() {
    auto w = window();
    auto* list = new CListBoxEx(w.get());
    list->Create(rectLTRB(10, 10, 200, 100), 256, 18);
    QCOMPARE(list->visibleRows(), 5);
    QCOMPARE(list->AddItem("one", 0x15000001), 0);
    QCOMPARE(list->AddItem("two", 0x15000002), 1);
    QCOMPARE(list->GetCurSel(), 1);  // adding selects
    QCOMPARE(list->GetItemData(0), 0x15000001u);
    QCOMPARE(CListBoxEx::kindOf(0x02000041), 2);
    click(list, {20, 5});
    QCOMPARE(list->GetCurSel(), 0);
    click(list, {20, 80});
    const auto clicks = w->only(WM_LIST_CLICKED);
    QCOMPARE(clicks.size(), std::size_t{2});
    QCOMPARE(clicks[0].w, platform::WPARAM{256});
    QCOMPARE(clicks[0].l, platform::LPARAM{0});
    QCOMPARE(clicks[1].l, platform::LPARAM{-1});  // below the last item
    QCOMPARE(list->GetCurSel(), 0);  // a click on no item keeps the selection
    QCOMPARE(list->InsertItem(1, "between", 3), 1);
    QCOMPARE(list->GetText(2), QStringLiteral("two"));
    QVERIFY(list->DeleteItem(0));
    QCOMPARE(list->GetCurSel(), 0);  // the selection follows its item
    QVERIFY(!list->DeleteItem(5));
    QVERIFY(!list->SetCurSel(9));
    list->ResetContent();
    QCOMPARE(list->GetCount(), 0);
    QCOMPARE(list->GetCurSel(), -1);
    QVERIFY(w->only(WM_LIST_EDIT_DONE).empty());
  }

  void inPlaceRename() {
    auto w = window();
    auto* list = new CListBoxEx(w.get());
    list->Create(rectLTRB(10, 10, 200, 100), 257, 18);
    list->AddItem("keep", 1);
    QCOMPARE(list->AddItem("New Macro", 0x15000009, true), 1);
    QVERIFY(list->isEditing());
    QLineEdit* ed = list->editor();
    QCOMPARE(ed->selectedText(), QStringLiteral("New Macro"));
    QCOMPARE(ed->maxLength(), 20);
    ed->setText(QStringLiteral("A name longer than twenty characters"));
    QCOMPARE(ed->text().size(), 20);
    ed->setText(QStringLiteral("Reload"));
    sendKey(ed, QEvent::KeyPress, Qt::Key_Return);
    QVERIFY(!list->isEditing());
    QCOMPARE(list->GetText(1), QStringLiteral("Reload"));
    auto done = w->only(WM_LIST_EDIT_DONE);
    QCOMPARE(done.size(), std::size_t{1});
    QCOMPARE(done[0].w, platform::WPARAM{257});
    QCOMPARE(done[0].l, platform::LPARAM{1});

    QVERIFY(list->EditItem(0));
    list->editor()->setText(QStringLiteral("changed"));
    sendKey(list->editor(), QEvent::KeyPress, Qt::Key_Escape);
    QVERIFY(!list->isEditing());
    QCOMPARE(list->GetText(0), QStringLiteral("keep"));
    QCOMPARE(w->only(WM_LIST_EDIT_DONE).size(), std::size_t{1});  // Esc sends no notice

    QVERIFY(list->EditItem(0));
    list->editor()->setText(QStringLiteral("by focus"));
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(list->editor(), &out);
    QVERIFY(!list->isEditing());
    QCOMPARE(list->GetText(0), QStringLiteral("by focus"));
    done = w->only(WM_LIST_EDIT_DONE);
    QCOMPARE(done.size(), std::size_t{2});
    QCOMPARE(done[1].l, platform::LPARAM{0});
    QVERIFY(!list->EditItem(7));
  }

  void scrollBarAndKindPictures() {
    auto w = window();
    auto* list = new CListBoxEx(w.get());
    list->Create(rectLTRB(0, 0, 150, 90), 256, 18);
    list->SetColours(QColor(20, 20, 20), QColor(83, 97, 103), QColor(21, 140, 185));
    list->SetKindPicture(3, flat({12, 12}, QColor(255, 0, 255)));
    list->AddItem("press A", 0x03000041);
    list->AddItem("plain", 0x00000001);
    QVERIFY(!list->hasScrollBar());
    QCOMPARE(pixelAt(list, {6, 9}), QColor(255, 0, 255));  // kind 3 picture at the item's left
    QVERIFY(pixelAt(list, {6, 27}) != QColor(255, 0, 255));
    QCOMPARE(pixelAt(list, {140, 80}), QColor(20, 20, 20));
    for (int i = 0; i < 20; ++i) list->AddItem(QString::number(i), 0);
    QVERIFY(list->hasScrollBar());
    QCOMPARE(list->topIndex(), 22 - 5);  // the added item is scrolled into view
    QWheelEvent up(QPointF(20, 20), list->mapToGlobal(QPoint(20, 20)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &up);
    QCOMPARE(list->topIndex(), 14);
    // A click above the thumb pages up; dragging the thumb to the top.
    const QRect thumb = list->thumbRect();
    click(list, {145, thumb.top() - 2});
    QCOMPARE(list->topIndex(), 9);
    const QPoint grab(145, list->thumbRect().center().y());
    sendMouse(list, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    sendMouse(list, QEvent::MouseMove, grab - QPoint(0, 200), Qt::NoButton, Qt::LeftButton);
    sendMouse(list, QEvent::MouseButtonRelease, grab - QPoint(0, 200), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(list->topIndex(), 0);
    QVERIFY(w->only(WM_LIST_CLICKED).empty());  // the scroll bar is no item
    // A click on an item reports the item shown there.
    click(list, {20, 20});
    QCOMPARE(w->only(WM_LIST_CLICKED).back().l, platform::LPARAM{1});
  }

  void sliderPostsItsPosition() {
    auto w = window();
    QImage backdrop = flat({400, 200}, QColor(10, 10, 10));
    const QImage thumb = flat({12, 16}, QColor(0, 255, 0));
    auto* s = new CSkinSlider(w.get());
    // The red slider of the lighting page: 0..255 over 544..693.
    QVERIFY(s->Create(rectLTRB(100, 100, 250, 110), backdrop, thumb, 775, 0, 255));
    QVERIFY(s->height() >= 16);
    QCOMPARE(s->pixelOf(0), s->trackRect().left());
    QCOMPARE(s->pixelOf(255), s->trackRect().right());
    s->SetPos(300);
    QCOMPARE(s->GetPos(), 255);  // clamped
    QVERIFY(w->only(WM_SLIDER_MOVED).empty());  // SetPos never notifies
    s->SetPos(0);
    click(s, {s->pixelOf(128), s->height() / 2});
    auto moved = w->only(WM_SLIDER_MOVED);
    QCOMPARE(moved.size(), std::size_t{1});
    QCOMPARE(moved[0].w, platform::WPARAM{128});
    QCOMPARE(moved[0].l, platform::LPARAM{775});
    QCOMPARE(pixelAt(s, {s->pixelOf(128), s->height() / 2}), QColor(0, 255, 0));
    // Dragging the thumb past the end gives the maximum, once per change.
    const QPoint at(s->pixelOf(128), s->height() / 2);
    sendMouse(s, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(s, QEvent::MouseMove, at + QPoint(1000, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(s, QEvent::MouseMove, at + QPoint(2000, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(s, QEvent::MouseButtonRelease, at + QPoint(2000, 0), Qt::LeftButton, Qt::NoButton);
    moved = w->only(WM_SLIDER_MOVED);
    QCOMPARE(moved.size(), std::size_t{2});
    QCOMPARE(moved[1].w, platform::WPARAM{255});
    // A small range: 0..5 (rate, brightness).
    s->SetRange(0, 5);
    QCOMPARE(s->GetPos(), 5);
    QCOMPARE(s->positionAt(s->pixelOf(2) + 3), 2);
    QCOMPARE(s->positionAt(-100), 0);
  }

  void editBoxAndSmallControls() {
    auto w = window();
    auto* e = new CSkinEdit(w.get());
    e->Create(rectLTRB(10, 10, 50, 22), 780);
    e->SetNumberRange(255);
    e->SetText(QStringLiteral("12"));
    QVERIFY(w->only(WM_EDIT_CHANGED).empty());
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, QStringLiteral("999"));
    QCOMPARE(e->text(), QStringLiteral("255"));
    QVERIFY(!w->only(WM_EDIT_CHANGED).empty());
    QCOMPARE(w->only(WM_EDIT_CHANGED).back().w, platform::WPARAM{780});

    auto* sw = new CColourSwatch(w.get());
    sw->Create(rectLTRB(100, 10, 122, 32));
    sw->SetColour(0x00FF8000);  // 0x00BBGGRR: blue FF, green 80
    QCOMPARE(pixelAt(sw, {5, 5}), QColor(0x00, 0x80, 0xFF));

    auto* pic = new CSkinPicture(w.get());
    pic->Create(rectLTRB(130, 10, 167, 32), 1002);
    pic->SetPicture(flat({37, 22}, QColor(1, 2, 3)));
    QCOMPARE(pixelAt(pic, {36, 21}), QColor(1, 2, 3));

    auto* bar = new CSkinProgress(w.get());
    bar->Create(rectLTRB(35, 47, 295, 56), flat({260, 9}, Qt::black), flat({260, 9}, Qt::white));
    bar->SetPos(50);
    QCOMPARE(bar->filledWidth(), 130);
    QCOMPARE(pixelAt(bar, {129, 4}), QColor(Qt::white));
    QCOMPARE(pixelAt(bar, {131, 4}), QColor(Qt::black));
    bar->SetPos(150);
    QCOMPARE(bar->GetPos(), 0);  // out of range shows an empty bar
    QCOMPARE(pixelAt(bar, {2, 4}), QColor(Qt::black));
    bar->SetPos(100);
    QCOMPARE(pixelAt(bar, {259, 4}), QColor(Qt::white));
  }

  void baseWindowSwallowsDialogKeysExceptInEditBoxes() {
    CSkinDialog dlg;
    dlg.setBackground(flat({300, 200}, QColor(5, 5, 5)));
    dlg.sizeToBackground();
    QCOMPARE(dlg.size(), QSize(300, 200));
    dlg.show();
    // A plain widget that would act on the keys, and an edit box.
    struct KeyCounter : QWidget {
      using QWidget::QWidget;
      int presses = 0;
      void keyPressEvent(QKeyEvent*) override { ++presses; }
    };
    auto* target = new KeyCounter(&dlg);
    target->setGeometry(10, 10, 40, 40);
    target->setFocusPolicy(Qt::StrongFocus);
    auto* edit = new CSkinEdit(&dlg);
    edit->Create(rectLTRB(60, 10, 200, 30), 900);
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space, Qt::Key_F1})
      sendKey(target, QEvent::KeyPress, key);
    QCOMPARE(target->presses, 0);
    sendKey(target, QEvent::KeyPress, Qt::Key_A, 0, Qt::NoModifier, QStringLiteral("a"));
    QCOMPARE(target->presses, 1);
    sendKey(edit, QEvent::KeyPress, Qt::Key_A, 0, Qt::NoModifier, QStringLiteral("a"));
    sendKey(edit, QEvent::KeyPress, Qt::Key_Space, 0, Qt::NoModifier, QStringLiteral(" "));
    sendKey(edit, QEvent::KeyPress, Qt::Key_B, 0, Qt::NoModifier, QStringLiteral("b"));
    QCOMPARE(edit->text(), QStringLiteral("a b"));  // edit boxes get Space
    // The window itself is no exception.
    bool closed = false;
    QObject::connect(&dlg, &QObject::destroyed, [&] { closed = true; });
    sendKey(&dlg, QEvent::KeyPress, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QVERIFY(!closed);
  }

  void baseWindowDragsByItsBody() {
    CSkinDialog dlg;
    dlg.setBackground(flat({300, 200}, QColor(5, 5, 5)));
    dlg.sizeToBackground();
    dlg.move(100, 100);
    dlg.show();
    auto* b = new CSkinButton(&dlg);
    QVERIFY(b->Create({flat({300, 200}, kNormal), {}, {}}, rectLTRB(0, 0, 40, 40), 5));
    const QPoint start = dlg.pos();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100), dlg.mapToGlobal(QPoint(100, 100)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 120), dlg.mapToGlobal(QPoint(130, 120)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(130, 120), QPointF(dlg.mapToGlobal(QPoint(130, 120))),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &release);
    QTRY_COMPARE(dlg.pos(), start + QPoint(30, 20));
    // A child page does not move itself.
    CSkinDialog page(&dlg, true);
    QVERIFY(!page.backgroundDrag());
  }
};

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  ControlsTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "controls_test.moc"
