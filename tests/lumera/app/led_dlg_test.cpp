// The lighting page with a stand-in keyboard view and a recording apply
// request: the effect list and "LedMask", the options an effect shows, the
// switch and message 1430, the sliders, direction, colourful, the effect
// colour, the per-key painting with colours A and B, the colour groups,
// storing into the profile, and the ApplyNow requests with their flags.
// Also the preview of every kind on the shipped key layout, as pictures.
#include <QtTest>
#include <memory>

#include "lumera/app/color_panel.h"
#include "lumera/app/led_dlg.h"
#include "lumera/app/png_btn.h"
#include "lumera/app/png_slider.h"
#include "lumera/device/apply.h"
#include "lumera/model/lighting.h"
#include "shared/text_table.h"
#include "tests/lumera/app/kb_view_standin.h"
#include "tests/lumera/app/ui_fixture.h"
#include "tests/support/test_env.h"

using namespace lumera;
using uitest::Recorder;
using uitest::StandInView;

namespace {

constexpr unsigned kFlags6 = kApplyProfile | kApplyLedMatrix;

QImage mainBackground() {
  QImage bg(1000, 650, QImage::Format_RGB32);
  bg.fill(uitest::kMainBackground);
  return bg;
}

LumeraConfig shippedConfig() {
  LumeraConfig c;
  c.load(testsupport::sourceDir() + "/data/lumera/", false);
  return c;
}

std::vector<std::uint32_t> itemIds(CComboBtn* combo) {
  std::vector<std::uint32_t> ids;
  for (const auto& item : combo->items(0)) ids.push_back(item.id);
  return ids;
}

std::vector<std::uint8_t> image(const ProfileRecord& p) {
  std::vector<std::uint8_t> b(kProfileRecordSize);
  writeProfileRecord(b.data(), p);
  return b;
}

}  // namespace

// One page with its partners, as the main window puts them together.
struct Page {
  explicit Page(LumeraConfig& cfg) : config(cfg) {
    main = std::make_unique<Recorder>(nullptr, Qt::FramelessWindowHint);
    main->setGeometry(40, 30, 1000, 650);
    view = new StandInView(main.get(), config);
    view->move(276, 166);
    panel = new CColorPanelDlg(main.get(), mainBackground());
    page = new CLedDlg(main.get(), mainBackground(), QRect(19, 284, 242, 252), view, panel,
                       [this](unsigned flags) { applies.push_back(flags); }, config);
    profile = NewProfile(u"P1", config);
    page->SetProfile(&profile);
    main->show();
  }
  // Chooses an item of a drop-down as its menu would.
  void choose(CComboBtn* combo, std::uint32_t id) { combo->sendMessage(kMsgMenuChoice, id, combo->controlId()); }
  void command(int id) { page->sendMessage(platform::WM_COMMAND, platform::makeWParam(static_cast<unsigned>(id), 0), 0); }
  void showEffect(int e) {
    profile.effectIndex = e;
    profile.lightingSwitch = 0;
    page->LoadFromProfile();
    applies.clear();
  }
  const KeyInfo& key(int i) const { return config.keyLayout()[static_cast<std::size_t>(i)]; }
  int matrixOf(int i) const { return key(i).funA.dwMatrixInx; }

  LumeraConfig& config;
  std::unique_ptr<Recorder> main;
  StandInView* view = nullptr;
  CColorPanelDlg* panel = nullptr;
  CLedDlg* page = nullptr;
  ProfileRecord profile;
  std::vector<unsigned> applies;
};

class LedDlgTest : public QObject {
  Q_OBJECT

  LumeraConfig config_;

 private slots:
  void initTestCase() {
    for (const char* n : {"lbtn", "rbtn"}) {
      uitest::writeSkin(QString(n) + "_nr.png", {42, 28}, uitest::kNormal);
      uitest::writeSkin(QString(n) + "_ov.png", {42, 28}, uitest::kOver);
    }
    for (int e = 1; e <= 17; ++e)
      shared::lumeraTexts().SetText("tc_led_mode" + std::to_string(e), u"Effect " + QString::number(e).toStdU16String());
    for (const auto& t : std::vector<std::pair<const char*, const char16_t*>>{
             {"tc_msg1", u"Lighting"}, {"tc_page6", u"Set"}, {"tc_adv_str7", u"Brightness"},
             {"tc_adv_str19", u"Speed"}, {"tc_adv_str13", u"Direction"}, {"tc_msg28", u"Colour set"},
             {"tc_adv_str12", u"Colour"}, {"tc_adv_str3", u"Paint colour"}, {"tc_adv_str4", u"Base colour"},
             {"tc_adv_str14", u"Colourful"}})
      shared::lumeraTexts().SetText(t.first, t.second);
  }

  void init() {
    config_ = shippedConfig();
    config_.options().ApplyNow = 1;
    config_.options().Txt_clr = 0xD4CCC4;
    uitest::shownBoxes().clear();
  }

  void effectListFollowsLedMask_data() {
    QTest::addColumn<int>("mask");
    QTest::addColumn<std::vector<std::uint32_t>>("ids");
    std::vector<std::uint32_t> all;
    for (std::uint32_t e = 0; e < 17; ++e) all.push_back(e);
    QTest::newRow("none hidden") << 0 << all;
    QTest::newRow("first hidden") << 1 << std::vector<std::uint32_t>(all.begin() + 1, all.end());
    std::vector<std::uint32_t> some = all;
    some.erase(some.begin() + 16);
    some.erase(some.begin() + 2);
    some.erase(some.begin() + 0);
    QTest::newRow("0, 2 and 16 hidden") << (1 | 4 | 0x10000) << some;
  }
  void effectListFollowsLedMask() {
    QFETCH(int, mask);
    QFETCH(std::vector<std::uint32_t>, ids);
    config_.options().LedMask = mask;
    Page p(config_);
    QCOMPARE(itemIds(p.page->effectList()), ids);
    QCOMPARE(p.page->effectList()->items(0)[0].text, QString("Effect %1").arg(ids[0] + 1));
  }

  void maskedOrUnknownStoredEffectIsKept() {
    config_.options().LedMask = 1;
    Page p(config_);
    p.showEffect(0);  // stored, but not in the list
    QCOMPARE(p.page->effectList()->selectedIndex(), -1);
    p.page->StoreToProfile();
    QCOMPARE(p.profile.effectIndex, 0);

    // An index without an entry anywhere shows no options and previews nothing.
    p.showEffect(40);
    QCOMPARE(p.page->shownEffect(), 40);
    QVERIFY(!p.page->level1Slider()->isVisible() && !p.page->level2Slider()->isVisible());
    QVERIFY(!p.page->colourButton(0)->isVisible() && !p.page->colourfulButton()->isVisible());
    QVERIFY(!p.page->groupList()->isVisible());
    QCOMPARE(p.view->previewKind(), 0);
    p.page->StoreToProfile();
    QCOMPARE(p.profile.effectIndex, 40);

    // A colour index past the seven colours shows the first and stores none;
    // levels outside the sliders take their ends.
    config_.options().LedMask = 0;
    Page q(config_);
    q.profile.effects[0].colourIndex = 9;
    q.profile.effects[0].level2 = 0;
    const auto colours = q.profile.effects[0].colours;
    q.showEffect(0);
    QCOMPARE(q.page->colourButton(0)->colour(), colours[0]);
    QCOMPARE(q.page->level2Slider()->GetPos(), 1);
    q.page->StoreToProfile();
    QCOMPARE(q.profile.effects[0].colours, colours);
    QCOMPARE(q.profile.effects[0].colourIndex, 9u);
    QCOMPARE(q.view->previewKind(), 1);
  }

  void eachEffectShowsItsOptions() {
    Page p(config_);
    struct Case {
      int effect;
      bool level1, level2, colour, colourful;
      int kind;
    };
    // From the shipped table: static, spectrum, cascade, wave, starlight.
    for (const Case& c : {Case{0, false, true, true, true, 1}, Case{1, true, true, false, false, 2},
                          Case{3, true, false, false, false, 17}, Case{7, true, false, false, false, 7},
                          Case{15, true, true, false, false, 16}}) {
      p.showEffect(c.effect);
      QCOMPARE(p.page->level1Slider()->isVisible(), c.level1);
      QCOMPARE(p.page->level2Slider()->isVisible(), c.level2);
      QCOMPARE(p.page->colourButton(0)->isVisible(), c.colour);
      QCOMPARE(p.page->colourfulButton()->isVisible(), c.colourful);
      QVERIFY(!p.page->directionButton(0)->isVisible());
      for (int i = 1; i < CLedDlg::kColourRow; ++i) QVERIFY(!p.page->colourButton(i)->isVisible());
      QVERIFY(!p.page->groupList()->isVisible() && !p.page->colourA()->isVisible());
      QCOMPARE(p.view->previewKind(), c.kind);
      QCOMPARE(p.view->mode(), int(KeyboardView::kLighting));
    }
    p.showEffect(0);
    uitest::saveShot(p.main.get(), "lighting_page_static");

    // The per-key effect: colour sets and colours A and B, no sliders, no preview.
    p.profile.colourGroup = 1;
    p.profile.groupColours[1][static_cast<std::size_t>(p.matrixOf(0))] = 0x00FF00;
    p.profile.colourA[1] = 0x0080FF;
    p.profile.colourB[1] = 0;
    p.showEffect(16);
    QVERIFY(p.page->isPerKeyEffect());
    QVERIFY(p.page->groupList()->isVisible() && p.page->colourA()->isVisible() && p.page->colourB()->isVisible());
    QVERIFY(!p.page->level1Slider()->isVisible() && !p.page->level2Slider()->isVisible());
    QVERIFY(!p.page->colourButton(0)->isVisible() && !p.page->colourfulButton()->isVisible());
    QCOMPARE(p.view->previewKind(), 0);
    QCOMPARE(p.page->groupList()->text(), QString("Set 2"));
    QCOMPARE(p.view->keySlots.colour[0], Colour(0x00FF00));
    QCOMPARE(p.page->colourA()->colour(), Colour(0x0080FF));
    QVERIFY(p.page->colourB()->noColour());
    QVERIFY(p.view->hoverClears > 0);
    uitest::saveShot(p.main.get(), "lighting_page_per_key");
  }

  void levelTexts() {
    Page p(config_);
    p.profile.effects[1].level1 = 2;
    p.profile.effects[1].level2 = 4;
    p.showEffect(1);
    QCOMPARE(p.page->level2Text(), QString("75 %"));
    QCOMPARE(p.page->level1Text(), QString("2"));
    QCOMPARE(p.page->level1Slider()->GetPos(), 2);
    QCOMPARE(p.page->level2Slider()->GetPos(), 4);
  }

  void switchPostsViewModeAndStoresInverted() {
    Page p(config_);
    p.showEffect(0);
    p.panel->Open(false);
    QVERIFY(p.page->lightingOn());
    uitest::clickCentre(p.page->onOffButton());
    QTRY_COMPARE(p.main->only(kMsgViewMode).size(), std::size_t(1));
    QCOMPARE(p.main->only(kMsgViewMode)[0].w, platform::WPARAM(0));
    QVERIFY(!p.page->lightingOn());
    QCOMPARE(p.profile.lightingSwitch, 1u);
    QVERIFY(!p.page->effectList()->isVisible() && !p.page->level2Slider()->isVisible());
    QVERIFY(p.panel->isHidden());
    QVERIFY(p.applies.empty());  // no apply for the switch
    uitest::saveShot(p.page, "lighting_page_off");

    // Another profile and back: the page is off again.
    ProfileRecord other = NewProfile(u"P2", config_);
    other.lightingSwitch = 0;
    p.page->SetProfile(&other);
    p.page->LoadFromProfile();
    QVERIFY(p.page->lightingOn());
    QCOMPARE(p.view->mode(), int(KeyboardView::kLighting));
    p.page->SetProfile(&p.profile);
    p.page->LoadFromProfile();
    QVERIFY(!p.page->lightingOn());
    QCOMPARE(p.view->mode(), int(KeyboardView::kKeyAssignment));
    QCOMPARE(p.view->litKeys(), 0);

    uitest::clickCentre(p.page->onOffButton());
    QTRY_COMPARE(p.main->only(kMsgViewMode).size(), std::size_t(2));
    QCOMPARE(p.main->only(kMsgViewMode)[1].w, platform::WPARAM(1));
    QCOMPARE(p.profile.lightingSwitch, 0u);
  }

  void choosingAnEffectStoresAndApplies() {
    Page p(config_);
    p.showEffect(0);
    p.profile.groupTouched.fill(0);
    const std::size_t starts = p.view->starts.size();
    p.choose(p.page->effectList(), 14);  // breathing
    QCOMPARE(p.profile.effectIndex, 14);
    QCOMPARE(p.page->shownEffect(), 14);
    QCOMPARE(p.applies, std::vector<unsigned>{kFlags6});
    QCOMPARE(p.view->starts.size(), starts + 1);
    QCOMPARE(p.view->previewKind(), 3);
    QCOMPARE(p.profile.groupTouched[0], std::uint8_t(1));

    config_.options().ApplyNow = 0;
    p.choose(p.page->effectList(), 1);
    QCOMPARE(p.profile.effectIndex, 1);
    QCOMPARE(p.applies.size(), std::size_t(1));  // stored, not sent
  }

  void sliderReleaseAppliesOnceWithFlags2() {
    Page p(config_);
    p.showEffect(1);  // spectrum: both sliders
    CPngSliderBar* slider = p.page->level2Slider();
    CPngSlider* thumb = slider->thumb();
    const std::size_t starts = p.view->starts.size();
    uitest::sendMouse(thumb, QEvent::MouseButtonPress, {9, 9}, Qt::LeftButton, Qt::LeftButton);
    for (int x : {30, 60, 100})
      uitest::sendMouse(thumb, QEvent::MouseMove, QPoint(x - thumb->x(), 9), Qt::NoButton, Qt::LeftButton);
    QTRY_COMPARE(p.page->level2Text(), QString("50 %"));  // position 3 while dragging
    QVERIFY(p.applies.empty());
    QCOMPARE(p.view->starts.size(), starts);
    uitest::sendMouse(thumb, QEvent::MouseButtonRelease, thumb->mapFromParent(QPoint(50, 9)), Qt::LeftButton,
                      Qt::NoButton);
    QTRY_COMPARE(p.applies.size(), std::size_t(1));
    QCoreApplication::processEvents();
    QCOMPARE(p.applies, std::vector<unsigned>{kApplyProfile});
    QCOMPARE(p.page->level2Text(), QString("25 %"));
    QCOMPARE(p.profile.effects[1].level2, 2u);
    QCOMPARE(p.view->starts.size(), starts + 1);  // the preview starts again
  }

  void directionAndColourful() {
    config_.options().effects[0].flags[2] = 1;  // static with direction buttons
    Page p(config_);
    p.showEffect(0);
    QVERIFY(p.page->directionButton(0)->isVisible() && p.page->directionButton(1)->isVisible());
    QVERIFY(p.page->directionButton(0)->GetCheck());
    uitest::clickCentre(p.page->directionButton(1));
    QVERIFY(p.page->directionButton(1)->GetCheck() && !p.page->directionButton(0)->GetCheck());
    QCOMPARE(p.profile.effects[0].direction, 1u);
    QCOMPARE(p.applies, std::vector<unsigned>{kFlags6});
    uitest::saveShot(p.page, "lighting_page_direction");

    p.panel->Open(false);
    p.applies.clear();
    QVERIFY(!p.page->colourfulButton()->GetCheck());
    const std::size_t starts = p.view->starts.size();
    uitest::clickCentre(p.page->colourfulButton());
    QVERIFY(p.page->colourfulButton()->GetCheck());
    QVERIFY(p.panel->isHidden());
    QCOMPARE(p.profile.effects[0].colourful, 1u);
    QCOMPARE(p.view->starts.size(), starts + 1);
    QCOMPARE(p.applies, std::vector<unsigned>{kFlags6});
  }

  void effectColourGoesIntoItsSlot() {
    Page p(config_);
    p.profile.effects[0].colourIndex = 2;
    p.profile.effects[0].level2 = 5;  // full brightness: the preview shows the colour as it is
    p.showEffect(0);
    QCOMPARE(p.page->colourButton(0)->colour(), p.profile.effects[0].colours[2]);
    p.page->colourButton(0)->SetSelected(false);
    uitest::clickCentre(p.page->colourButton(0));
    QTRY_VERIFY(p.panel->isVisible());
    QVERIFY(!p.panel->blackSwatch());  // not for A or B
    p.page->postMessage(kMsgColourPicked, 0x123456, 0);
    QTRY_COMPARE(p.applies.size(), std::size_t(1));
    QCOMPARE(p.applies[0], kFlags6);
    QCOMPARE(p.page->colourButton(0)->colour(), Colour(0x123456));
    QCOMPARE(p.profile.effects[0].colours[2], Colour(0x123456));
    QCOMPARE(p.profile.effects[0].colours[0], Colour(0x0000FF));  // the other slots stay
    QCOMPARE(p.view->previewKind(), 1);
    QCOMPARE(p.view->keySlots.colour[0], Colour(0x123456));  // static, brightness 10
  }

  void perKeyPaintingWithColourA() {
    config_.options().KeyNotRec[0] = 5;  // key 5 is never recoloured
    Page p(config_);
    p.profile.groupColours[0].fill(0);
    p.profile.colourA[0] = 0x00FFFF;
    p.showEffect(16);
    p.page->postMessage(kMsgKeyClicked, 3, 0);
    QTRY_COMPARE(p.applies.size(), std::size_t(1));
    QCOMPARE(p.applies[0], kFlags6);
    QCOMPARE(p.view->keySlots.colour[3], Colour(0x00FFFF));
    QCOMPARE(p.profile.groupColours[0][static_cast<std::size_t>(p.matrixOf(3))], Colour(0x00FFFF));
    // A painted key clicked again loses its colour.
    p.page->postMessage(kMsgKeyClicked, 3, 0);
    QTRY_COMPARE(p.applies.size(), std::size_t(2));
    QCOMPARE(p.view->keySlots.colour[3], Colour(0));
    QCOMPARE(p.profile.groupColours[0][static_cast<std::size_t>(p.matrixOf(3))], Colour(0));
    // An excluded key and keys outside the table change nothing and send nothing.
    for (int k : {5, 132, 5000, -1}) p.page->postMessage(kMsgKeyClicked, static_cast<platform::WPARAM>(k), 0);
    p.page->postMessage(kMsgKeyClicked, 7, 0);
    QTRY_COMPARE(p.applies.size(), std::size_t(3));
    QCOMPARE(p.view->keySlots.colour[5], Colour(0));
    QCOMPARE(p.view->litKeys(), 1);
    // Outside the per-key effect a click paints nothing.
    p.showEffect(0);
    const KeyColours before = p.view->GetKeyColours();
    p.page->sendMessage(kMsgKeyClicked, 9, 0);
    QCOMPARE(p.view->GetKeyColours(), before);
    QVERIFY(p.applies.empty());
  }

  void colourBRecoloursOnlyItsOwnKeys() {
    config_.options().KeyNotRec[0] = 6;
    Page p(config_);
    const Colour a = 0x00FFFF, oldB = 0xFF0000, other = 0x404040, newB = 0x00FF00;
    p.profile.colourA[0] = a;
    p.profile.colourB[0] = oldB;
    p.profile.groupColours[0].fill(0);
    auto at = [&](int key) -> Colour& { return p.profile.groupColours[0][static_cast<std::size_t>(p.matrixOf(key))]; };
    at(1) = oldB;
    at(2) = oldB;
    at(3) = a;
    at(4) = other;
    at(6) = oldB;  // excluded
    p.showEffect(16);
    p.page->postMessage(kMsgColourButton, 1, CLedDlg::kColourBId);
    QTRY_VERIFY(p.panel->isVisible());
    QVERIFY(p.panel->blackSwatch());
    QVERIFY(p.page->colourBSelected() && !p.page->colourASelected());
    QVERIFY(p.page->colourB()->isSelected());
    p.page->postMessage(kMsgColourPicked, newB, 0);
    QTRY_COMPARE(p.applies.size(), std::size_t(1));
    QCOMPARE(p.applies[0], unsigned(kApplyLedMatrix));
    QCOMPARE(p.view->keySlots.colour[1], newB);
    QCOMPARE(p.view->keySlots.colour[2], newB);
    QCOMPARE(p.view->keySlots.colour[3], a);
    QCOMPARE(p.view->keySlots.colour[4], other);
    QCOMPARE(p.view->keySlots.colour[6], oldB);
    QCOMPARE(p.profile.colourB[0], newB);
    QCOMPARE(at(1), newB);  // in the profile before the keyboard gets it
    QCOMPARE(at(6), oldB);
    QVERIFY(!p.page->colourB()->noColour());
    // B set to "no colour": its keys go dark and B shows the diagonal.
    p.page->postMessage(kMsgColourPicked, 0, 0);
    QTRY_COMPARE(p.applies.size(), std::size_t(2));
    QCOMPARE(p.view->keySlots.colour[1], Colour(0));
    QVERIFY(p.page->colourB()->noColour());
    uitest::saveShot(p.main.get(), "lighting_page_colour_b");

    // Colour A: only A and the set's A change.
    p.page->postMessage(kMsgColourButton, 1, CLedDlg::kColourAId);
    QTRY_VERIFY(p.page->colourASelected());
    p.page->postMessage(kMsgColourPicked, 0x0000FF, 0);
    QTRY_COMPARE(p.applies.size(), std::size_t(3));
    QCOMPARE(p.profile.colourA[0], Colour(0x0000FF));
    QCOMPARE(p.page->colourA()->colour(), Colour(0x0000FF));
    QCOMPARE(p.view->keySlots.colour[3], a);
  }

  void colourSetsSwitch() {
    Page p(config_);
    p.profile.groupColours[2].fill(0);
    p.profile.groupColours[2][static_cast<std::size_t>(p.matrixOf(10))] = 0x112233;
    p.profile.colourA[2] = 0x445566;
    p.profile.colourB[2] = 0x778899;
    p.showEffect(16);
    p.choose(p.page->groupList(), 2);
    QCOMPARE(p.profile.colourGroup, std::uint16_t(2));
    QCOMPARE(p.view->keySlots.colour[10], Colour(0x112233));
    QCOMPARE(p.view->litKeys(), 1);
    QCOMPARE(p.page->colourA()->colour(), Colour(0x445566));
    QCOMPARE(p.page->colourB()->colour(), Colour(0x778899));
    QCOMPARE(p.applies, std::vector<unsigned>{kFlags6});
    // A damaged group number reads as the first set.
    p.profile.colourGroup = 9;
    p.page->LoadFromProfile();
    QCOMPARE(p.page->groupList()->text(), QString("Set 1"));
    p.page->StoreToProfile();
    QCOMPARE(p.profile.colourGroup, std::uint16_t(0));
  }

  void storeAfterLoadChangesNothing() {
    Page p(config_);
    for (int e : {0, 1, 7, 14}) {
      p.profile = NewProfile(u"P", config_);
      p.profile.effectIndex = e;
      p.profile.colourGroup = 3;
      p.page->LoadFromProfile();
      const auto before = image(p.profile);
      p.page->StoreToProfile();
      QVERIFY2(image(p.profile) == before, qPrintable(QString("effect %1").arg(e)));
    }
  }

  void withoutAProfileNothingHappens() {
    Page p(config_);
    p.page->SetProfile(nullptr);
    p.page->LoadFromProfile();
    p.page->StoreToProfile();
    p.command(CLedDlg::kOnOffId);
    p.command(CLedDlg::kColourfulId);
    p.page->sendMessage(kMsgKeyClicked, 3, 0);
    p.page->sendMessage(kMsgColourPicked, 0x00FF00, 0);
    p.page->sendMessage(kMsgSliderSet, 2, CLedDlg::kLevel1Id);
    QVERIFY(p.applies.empty());
    QVERIFY(p.main->only(kMsgViewMode).empty());
  }

  void sliderScaleMismatchWarns() {
    QVERIFY(CLedDlg::CheckSliderScale(4, {1, 2, 3, 4}));
    QVERIFY(uitest::shownBoxes().empty());
    QVERIFY(!CLedDlg::CheckSliderScale(5, {1, 2, 3, 4}));
    QCOMPARE(uitest::shownBoxes().size(), std::size_t(1));
    QCOMPARE(uitest::shownBoxes()[0].text, std::u16string(u"CPngSlider::SetScalePos  dwScale and Range unmatch!"));
    QCOMPARE(uitest::shownBoxes()[0].caption, std::u16string(u"Warning"));
  }

  void noPreviewWithShowEffectOff() {
    config_.options().ShowEffect = 0;
    Page p(config_);
    p.showEffect(1);
    p.choose(p.page->effectList(), 7);
    QVERIFY(p.view->starts.empty());
  }

  // Every preview kind on the shipped layout, stepped with a fixed seed:
  // a few keys checked, the picture saved.
  void previewPictures_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("colourful");
    for (int kind : {1, 2, 3, 5, 7, 9, 12, 13, 15, 16, 17, 23})
      QTest::newRow(qPrintable(QString("kind %1").arg(kind))) << kind << 40 << false;
    QTest::newRow("kind 1 colourful") << 1 << 0 << true;
    QTest::newRow("kind 23 colourful") << 23 << 0 << true;
    QTest::newRow("kind 5 colourful") << 5 << 40 << true;
  }
  void previewPictures() {
    QFETCH(int, kind);
    QFETCH(int, steps);
    QFETCH(bool, colourful);
    config_.options().effects[0].code = static_cast<std::uint8_t>(kind);
    config_.options().effects[0].flags = {1, 1, 0, 1, 1};
    Page p(config_);
    p.profile.effects[0].level1 = 3;
    p.profile.effects[0].level2 = 5;
    p.profile.effects[0].colourful = colourful ? 1 : 0;
    p.profile.effects[0].colourIndex = 0;
    p.profile.effects[0].colours[0] = 0x00A0FF;
    p.showEffect(0);
    p.view->step(steps);
    QVERIFY2(p.view->litKeys() > 0, "the preview lights keys");
    const QString name = QString("preview_kind_%1%2").arg(kind).arg(colourful ? "_colourful" : "");
    uitest::saveShot(p.view, name);
    // A lit Esc key is painted, an unlit one shows the bare key.
    const bool lit = p.view->keySlots.colour[0] != 0;
    QCOMPARE(uitest::pixelAt(p.view, {20, 20}) != QColor(40, 43, 48), lit);
  }
};

QObject* makeLedDlgTest() { return new LedDlgTest; }

#include "led_dlg_test.moc"
