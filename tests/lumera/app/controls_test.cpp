// CPngBtn, CComboBtn and CPngSliderBar: what they draw, what they post.
#include <QtTest>

#include "lumera/app/png_btn.h"
#include "lumera/app/png_slider.h"
#include "lumera/app/skin_window.h"
#include "platform/ui/window_look.h"
#include "tests/lumera/app/ui_fixture.h"

using namespace lumera;
using platform::WM_COMMAND;
using uitest::Recorder;

namespace {

// A parent whose background has a distinct colour, with the buttons' images
// cut from it at an offset.
QImage hostBackground() {
  QImage bg(400, 300, QImage::Format_RGB32);
  bg.fill(uitest::kMainBackground);
  bg.setPixelColor(30 + 5, 40 + 5, QColor(1, 2, 3));  // marks where the button's background comes from
  return bg;
}

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void buttonNeedsAllThreePicturesAndCutsItsBackground() {
    Recorder host;
    const QImage bg = hostBackground();
    CPngBtn missing(&host);
    QVERIFY(!missing.CreateSkinButton("btn_nr.png", "nothing.png", "btn_dn.png", &host, bg, {}, false, false, "x",
                                      {10, 10}, 5));
    QVERIFY(!missing.isCreated() && missing.isHidden());

    CPngBtn b(&host);
    QVERIFY(b.CreateSkinButton("btn_nr.png", "btn_ov.png", "btn_dn.png", &host, bg, QPoint(5, 5), false, true, "Tip",
                               {30, 40}, 7));
    QCOMPARE(b.geometry(), QRect(30, 40, 57, 30));
    QCOMPARE(b.toolTip(), QString("Tip"));
    // The picture covers the button; where the picture is transparent the
    // parent's background at pos + offset shows.
    uitest::writeSkin("half_nr.png", {57, 30}, Qt::transparent);
    CPngBtn glass(&host);
    QVERIFY(glass.CreateSkinButton("half_nr.png", "btn_ov.png", "btn_dn.png", &host, bg, QPoint(5, 5), false, false,
                                   QString(), {30, 40}, 8));
    QCOMPARE(uitest::pixelAt(&glass, {0, 0}), QColor(1, 2, 3));
    QVERIFY(glass.toolTip().isEmpty());
  }

  void pushButtonDrawsItsStateAndClicks() {
    Recorder host;
    host.resize(300, 200);
    CPngBtn b(&host);
    QVERIFY(b.CreateSkinButton("btn_nr.png", "btn_ov.png", "btn_dn.png", &host, hostBackground(), {}, false, false,
                               QString(), {10, 10}, 42));
    b.SetPressedOffset(true);
    QCOMPARE(uitest::pixelAt(&b, {20, 10}), uitest::kNormal);
    uitest::sendMouse(&b, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(uitest::pixelAt(&b, {20, 10}), uitest::kOver);
    uitest::sendMouse(&b, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(uitest::pixelAt(&b, {20, 10}), uitest::kDown);
    // Pressed with the offset flag: the picture moves 1 left and 1 down, so
    // the top row shows the background.
    QCOMPARE(uitest::pixelAt(&b, {20, 0}), uitest::kMainBackground);
    QVERIFY(host.got.empty());
    uitest::sendMouse(&b, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(host.got.size(), size_t(1));  // sent, not posted: already there
    QCOMPARE(host.got[0].message, WM_COMMAND);
    QCOMPARE(host.got[0].w, platform::makeWParam(42, platform::BN_CLICKED));
    QCOMPARE(host.got[0].l, reinterpret_cast<platform::LPARAM>(&b));
    // Released outside: no click.
    uitest::sendMouse(&b, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    uitest::sendMouse(&b, QEvent::MouseButtonRelease, {200, 5}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(host.got.size(), size_t(1));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&b, &leave);
    QCOMPARE(uitest::pixelAt(&b, {20, 10}), uitest::kNormal);
    b.setEnabled(false);
    QCOMPARE(uitest::pixelAt(&b, {20, 10}), uitest::kNormal);  // the disabled picture is the normal one
    QCOMPARE(b.stateImage(), 3);
    b.SetText("Apply");
    b.setEnabled(true);
    uitest::saveShot(&b, "png_button");
  }

  void checkButtonTogglesBeforeTheParentHears() {
    Recorder host;
    CPngBtn b(&host);
    QVERIFY(b.CreateSkinButton("check_nr.png", "check_ov.png", "check_dn.png", &host, hostBackground(), {}, true, false,
                               QString(), {0, 0}, 3));
    b.SetAutoCheck(true);
    std::vector<bool> stateSeen;
    host.onGot = [&](const Recorder::Got&) { stateSeen.push_back(b.GetCheck()); };
    uitest::clickCentre(&b);
    uitest::clickCentre(&b);
    uitest::clickCentre(&b);
    QCOMPARE(stateSeen, (std::vector<bool>{true, false, true}));
    // Checked wins over hover: the down picture.
    uitest::sendMouse(&b, QEvent::MouseMove, {3, 3}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(uitest::pixelAt(&b, {7, 7}), uitest::kDown);
    b.SetCheck(false);
    QCOMPARE(uitest::pixelAt(&b, {7, 7}), uitest::kOver);
  }

  void dropDownShowsTwentyItemsAndReportsTheChoice() {
    Recorder host(nullptr, Qt::FramelessWindowHint);
    host.setGeometry(50, 40, 400, 300);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    CComboBtn combo(&host);
    QVERIFY(combo.CreateSkinButton("combo_nr.png", "combo_ov.png", "combo_ov.png", &host, QImage(), {}, false, false,
                                   QString(), {20, 30}, 77));
    std::int64_t chosen = 0;
    combo.SetTarget(&chosen);
    for (int i = 0; i < 25; ++i) combo.AddItem(0, 0x100 + i, QString("Effect %1").arg(i));
    // Pressing never clicks a drop-down.
    uitest::sendMouse(&combo, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    uitest::sendMouse(&combo, QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(host.got.empty());
    QVERIFY(uitest::menuLevels().empty());
    uitest::sendMouse(&combo, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton, Qt::NoButton);
    auto levels = uitest::menuLevels();
    QCOMPARE(levels.size(), size_t(1));
    const QPoint corner = combo.mapToGlobal(QPoint(0, 0));
    QCOMPARE(levels[0]->geometry(), QRect(corner.x() + 2, corner.y() + 27, 193 - 4, 20 * 20));
    uitest::saveShot(levels[0], "combo_menu");
    uitest::click(levels[0], {10, 20 * 3 + 5});
    QTRY_COMPARE(host.got.size(), size_t(1));
    QCOMPARE(host.got[0].message, WM_COMMAND);
    QCOMPARE(platform::loWord(host.got[0].w), 77u);
    QCOMPARE(chosen, std::int64_t(0x103));
    QCOMPARE(combo.text(), QString("Effect 3"));
    QCOMPARE(combo.selectedIndex(), 3);

    QVERIFY(!combo.SelectId(0x100 + 22));  // beyond the first 20
    QVERIFY(!combo.SelectId(0x999));
    QCOMPARE(combo.selectedIndex(), 3);
    QCOMPARE(chosen, std::int64_t(0x103));
    QVERIFY(combo.SelectId(0x100 + 19));
    QCOMPARE(chosen, std::int64_t(0x113));
    combo.SelectIndex(-1);
    QCOMPARE(chosen, std::int64_t(-1));
    QVERIFY(combo.text().isEmpty());
  }

  void menuGoesAboveWhenItWouldLeaveTheScreen_data() {
    QTest::addColumn<QRect>("control");
    QTest::addColumn<int>("items");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("fits below") << QRect(100, 200, 138, 15) << 5 << QPoint(102, 215);
    QTest::newRow("exactly reaches the bottom") << QRect(100, 500, 138, 20) << 4 << QPoint(102, 520);
    QTest::newRow("one pixel too low") << QRect(100, 501, 138, 20) << 4 << QPoint(102, 421);
  }
  void menuGoesAboveWhenItWouldLeaveTheScreen() {
    QFETCH(QRect, control);
    QFETCH(int, items);
    QFETCH(QPoint, expected);
    QCOMPARE(skinMenuPosition(control, items, 600), expected);
  }

  void pixelTable_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<std::vector<int>>("pixels");
    QTest::newRow("4") << 4 << std::vector<int>{9, 63, 117, 171};
    QTest::newRow("5") << 5 << std::vector<int>{9, 50, 91, 131, 171};
    QTest::newRow("2") << 2 << std::vector<int>{9, 171};
    QTest::newRow("1") << 1 << std::vector<int>{9};
    QTest::newRow("0") << 0 << std::vector<int>{};
    QTest::newRow("8") << 8 << std::vector<int>{9, 33, 56, 79, 102, 125, 148, 171};
  }
  void pixelTable() {
    QFETCH(int, n);
    QFETCH(std::vector<int>, pixels);
    QCOMPARE(sliderPixelTable(n), pixels);
  }

  void sliderDragReportsWhileMovingAndOnceOnRelease() {
    Recorder host;
    host.resize(300, 200);
    CPngSliderBar slider(&host);
    QVERIFY(slider.Create(5, QRect(15, 79, 180, 18), &host, hostBackground(), {}, 149));
    slider.SetPixelTableFor(5);
    slider.SetPos(2);
    CPngSlider* thumb = slider.thumb();
    QCOMPARE(thumb->x(), 50 - 9);
    QCOMPARE(slider.nearestPosition(70), 2);
    QCOMPARE(slider.nearestPosition(71), 3);  // equal distance: the later position
    QCOMPARE(slider.nearestPosition(-40), 1);
    QCOMPARE(slider.nearestPosition(400), 5);
    // Take the thumb at its middle and pull it right, past the end.
    uitest::sendMouse(thumb, QEvent::MouseButtonPress, {9, 9}, Qt::LeftButton, Qt::LeftButton);
    for (int trackX : {71, 100, 150, 400})
      uitest::sendMouse(thumb, QEvent::MouseMove, QPoint(trackX - thumb->x(), 9), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(thumb->x(), 180 - 18);  // kept on the track
    QCoreApplication::processEvents();
    std::vector<platform::WPARAM> dragged;
    for (const auto& g : host.only(kMsgSliderDrag)) dragged.push_back(g.w);
    QCOMPARE(dragged, (std::vector<platform::WPARAM>{3, 3, 4, 5}));
    QVERIFY(host.only(kMsgSliderSet).empty());
    // Released at track x 101: the nearest position is 3 (91).
    uitest::sendMouse(thumb, QEvent::MouseButtonRelease, thumb->mapFromParent(QPoint(101, 9)), Qt::LeftButton,
                      Qt::NoButton);
    QCoreApplication::processEvents();
    const auto set = host.only(kMsgSliderSet);
    QCOMPARE(set.size(), size_t(1));
    QCOMPARE(set[0].w, platform::WPARAM(3));
    QCOMPARE(set[0].l, platform::LPARAM(149));
    for (const auto& g : host.only(kMsgSliderDrag)) QCOMPARE(g.l, platform::LPARAM(149));
    QCOMPARE(slider.GetPos(), 3);
    QCOMPARE(thumb->x(), 91 - 9);
    uitest::saveShot(&host, "slider");
  }

  void sliderReportsScaleValuesAndTrackClicks() {
    Recorder host;
    CPngSliderBar slider(&host);
    QVERIFY(slider.Create(4, QRect(0, 0, 180, 18), &host, QImage(), {}, 150));
    slider.SetPixelTableFor(4);
    slider.SetScaleValues({25, 50, 75, 100});
    slider.SetPos(75, true);  // a scale value turns into its position
    QCOMPARE(slider.GetPos(), 3);
    QCoreApplication::processEvents();
    QCOMPARE(host.only(kMsgSliderSet).back().w, platform::WPARAM(75));
    uitest::click(&slider, {10, 9});  // on the track, away from the thumb
    QCoreApplication::processEvents();
    QCOMPARE(slider.GetPos(), 1);
    QCOMPARE(host.only(kMsgSliderSet).back().w, platform::WPARAM(25));
    // While dragging the scale value is reported too.
    uitest::sendMouse(slider.thumb(), QEvent::MouseButtonPress, {9, 9}, Qt::LeftButton, Qt::LeftButton);
    uitest::sendMouse(slider.thumb(), QEvent::MouseMove, {9 + 54, 9}, Qt::NoButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(host.only(kMsgSliderDrag).back().w, platform::WPARAM(50));
    uitest::sendMouse(slider.thumb(), QEvent::MouseButtonRelease, {9, 9}, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
    // Disabled: clicks do nothing.
    const size_t before = host.got.size();
    slider.setEnabled(false);
    uitest::click(&slider, {170, 9});
    QCoreApplication::processEvents();
    QCOMPARE(host.got.size(), before);
    // Evenly spread without a pixel table: 180 / 3 = 60 pixels apart.
    slider.SetPixelTable({});
    QCOMPARE(slider.pixelOf(3), 120);
    QCOMPARE(slider.nearestPosition(89), 2);
    QCOMPARE(slider.nearestPosition(90), 3);
  }

  void sliderWithoutThumbPictureFails() {
    uitest::shownBoxes().clear();
    Recorder host;
    CPngSliderBar slider(&host);
    QVERIFY(!slider.Create(5, QRect(0, 0, 180, 18), &host, QImage(), {}, 149, "no_thumb.png"));
    QCOMPARE(uitest::shownBoxes().size(), size_t(1));
    QVERIFY(uitest::shownBoxes()[0].text == u"Create slider failed");
    QVERIFY(uitest::shownBoxes()[0].caption == u"Warrning");
    QVERIFY(slider.isHidden());
  }
};

QObject* makeControlsTest() { return new ControlsTest; }

#include "controls_test.moc"
