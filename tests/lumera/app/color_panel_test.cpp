// The colour button and the colour panel: what they draw, what a click
// picks, how the number boxes saturate, what OK posts.
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "lumera/app/color_panel.h"
#include "lumera/app/png_btn.h"
#include "platform/ui/window_look.h"
#include "shared/text_table.h"
#include "tests/lumera/app/ui_fixture.h"

using namespace lumera;
using uitest::Recorder;

Q_DECLARE_METATYPE(std::uint32_t)

namespace {

QColor qc(Colour c) { return platform::colourFromRef(c); }

QImage mainBackground() {
  QImage bg(1000, 650, QImage::Format_RGB32);
  bg.fill(uitest::kMainBackground);
  return bg;
}

}  // namespace

class ColorPanelTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Recorder> main_;
  Recorder* owner_ = nullptr;
  CColorPanelDlg* panel_ = nullptr;

  void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClicks(box, text);
  }

 private slots:
  void initTestCase() {
    shared::lumeraTexts().SetText("tc_adv_str15", u"Choose a colour");
    main_ = std::make_unique<Recorder>(nullptr, Qt::FramelessWindowHint);
    main_->setGeometry(60, 40, 1000, 650);
    owner_ = new Recorder(main_.get());
    owner_->setGeometry(19, 284, 242, 252);
    panel_ = new CColorPanelDlg(main_.get(), mainBackground());
    panel_->SetOwner(owner_);
    main_->show();
    main_->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    QTRY_VERIFY(main_->isActiveWindow());
  }

  void init() { uitest::shownBoxes().clear(); }

  void buttonDrawsItsColourFrameAndNoColourLook() {
    Recorder host;
    host.resize(200, 100);
    CColorBtnDlg b(&host);
    QCOMPARE(b.colour(), Colour(0x00FF00));
    QCOMPARE(b.id(), 0);
    QVERIFY(!b.isSelected() && !b.noColour());
    b.setGeometry(10, 10, 20, 20);
    b.SetColour(0x0080FF);
    b.SetFrameColours(0x1513BD, 0x969696);
    QCOMPARE(uitest::pixelAt(&b, {10, 10}), qc(0x0080FF));
    QCOMPARE(uitest::pixelAt(&b, {3, 3}), qc(0x0080FF));
    QCOMPARE(uitest::pixelAt(&b, {16, 16}), qc(0x0080FF));
    QCOMPARE(uitest::pixelAt(&b, {17, 17}), QColor(0x12, 0x12, 0x12));
    QCOMPARE(uitest::pixelAt(&b, {1, 1}), QColor(0x12, 0x12, 0x12));
    QCOMPARE(uitest::pixelAt(&b, {0, 0}), qc(0x969696));
    QCOMPARE(uitest::pixelAt(&b, {19, 10}), qc(0x969696));
    b.SetSelected(true);
    QCOMPARE(uitest::pixelAt(&b, {0, 10}), qc(0x1513BD));
    uitest::saveShot(&b, "colour_button_selected");

    b.SetNoColour(true);
    QCOMPARE(uitest::pixelAt(&b, {10, 10}), qc(0x0000FF));  // on the diagonal from (1, 19) to (19, 1)
    QCOMPARE(uitest::pixelAt(&b, {5, 10}), QColor(0x12, 0x12, 0x12));
    uitest::saveShot(&b, "colour_button_no_colour");
  }

  void buttonClickReportsSelectionAndId() {
    Recorder host;
    host.resize(200, 100);
    CColorBtnDlg b(&host);
    b.setGeometry(10, 10, 20, 20);
    b.SetId(273);
    uitest::clickCentre(&b);
    QTRY_COMPARE(host.only(kMsgColourButton).size(), std::size_t(1));
    QCOMPARE(host.only(kMsgColourButton)[0].w, platform::WPARAM(1));  // was not selected
    QCOMPARE(host.only(kMsgColourButton)[0].l, platform::LPARAM(273));
    QVERIFY(!b.isSelected());  // the parent decides
    b.SetSelected(true);
    uitest::clickCentre(&b);
    QTRY_COMPARE(host.only(kMsgColourButton).size(), std::size_t(2));
    QCOMPARE(host.only(kMsgColourButton)[1].w, platform::WPARAM(0));
    // Released outside: no click.
    uitest::sendMouse(&b, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    uitest::sendMouse(&b, QEvent::MouseButtonRelease, {40, 5}, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
    QCOMPARE(host.only(kMsgColourButton).size(), std::size_t(2));
  }

  void panelLayoutAndSwatches() {
    QCOMPARE(panel_->geometry(), QRect(280, 420, 260, 190));
    QVERIFY(panel_->isHidden());
    QCOMPARE(panel_->currentColour(), Colour(0x0000FF));  // red when created
    QCOMPARE(panel_->box(0)->text(), QString("255"));
    QCOMPARE(panel_->box(1)->text(), QString("0"));
    QCOMPARE(panel_->box(2)->text(), QString("0"));
    QCOMPARE(panel_->box(0)->objectName(), QString("4101"));
    QCOMPARE(panel_->box(2)->geometry(), QRect(QPoint(30, 146), QPoint(85, 166)));
    QCOMPARE(panel_->spectrumRect(), QRect(10, 50, 240, 30));
    QCOMPARE(panel_->currentRect(), QRect(194, 90, 56, 40));

    panel_->Open(false);
    QVERIFY(panel_->isVisible());
    const QColor expected[9] = {QColor(255, 0, 0),   QColor(255, 255, 0), QColor(0, 255, 0),
                                QColor(0, 0, 255),   QColor(255, 142, 0), QColor(0, 255, 255),
                                QColor(245, 59, 3),  QColor(255, 255, 255), QColor(243, 1, 127)};
    for (int i = 0; i < 9; ++i) {
      QCOMPARE(panel_->swatchRect(i), QRect(10 + 28 * i, 25, 18, 18));
      QCOMPARE(uitest::pixelAt(panel_, panel_->swatchRect(i).center()), expected[i]);
    }
    QCOMPARE(uitest::pixelAt(panel_, {220, 110}), QColor(255, 0, 0));  // the current colour
    const QColor start = uitest::pixelAt(panel_, {11, 65}), end = uitest::pixelAt(panel_, {249, 65});
    QVERIFY2(start.blue() > 250 && start.red() < 5 && start.green() < 5, "the bar starts blue");
    QVERIFY2(end.red() == 255 && end.green() > 240 && end.blue() > 240, "and ends white");
    QCOMPARE(uitest::pixelAt(panel_, {10, 65}), uitest::kMainBackground);  // filled from x + 1
    uitest::saveShot(panel_, "colour_panel");

    panel_->Open(true);  // for colour A or B: black in the last place
    QCOMPARE(uitest::pixelAt(panel_, panel_->swatchRect(8).center()), QColor(0, 0, 0));
    QCOMPARE(panel_->swatchColour(8), Colour(0));
    uitest::saveShot(panel_, "colour_panel_black_swatch");
  }

  void clickPicksTheDrawnPixel() {
    panel_->Open(false);
    uitest::click(panel_, panel_->swatchRect(4).center());
    QCOMPARE(panel_->currentColour(), rgb(255, 142, 0));
    QCOMPARE(panel_->box(0)->text(), QString("255"));
    QCOMPARE(panel_->box(1)->text(), QString("142"));
    QCOMPARE(panel_->box(2)->text(), QString("0"));
    QCOMPARE(uitest::pixelAt(panel_, panel_->currentRect().center()), QColor(255, 142, 0));

    // On the spectrum bar: whatever the panel drew there.
    const QPoint onBar(120, 60);
    const QColor drawn = uitest::pixelAt(panel_, onBar);
    uitest::click(panel_, onBar);
    QCOMPARE(panel_->currentColour(), platform::refFromColour(drawn));
    QVERIFY(drawn != QColor(255, 142, 0));

    // The current-colour swatch, the labels and the title pick nothing.
    const Colour before = panel_->currentColour();
    for (QPoint p : {panel_->currentRect().center(), QPoint(15, 100), QPoint(130, 10), QPoint(5, 30)}) {
      uitest::click(panel_, p);
      QCOMPARE(panel_->currentColour(), before);
    }
    QVERIFY(uitest::shownBoxes().empty());
  }

  void numberBoxesSaturate() {
    panel_->Open(false);
    panel_->SetCurrentColour(rgb(10, 20, 30));
    typeInto(panel_->box(0), "300");
    QCOMPARE(panel_->box(0)->text(), QString("255"));
    QCOMPARE(panel_->box(0)->cursorPosition(), 3);
    QCOMPARE(panel_->currentColour(), rgb(255, 20, 30));
    QCOMPARE(uitest::pixelAt(panel_, panel_->currentRect().center()), QColor(255, 20, 30));

    // Forty digits would wrap a 32-bit number round to something small.
    panel_->box(1)->setFocus();
    QTRY_VERIFY(panel_->box(1)->hasFocus());
    panel_->box(1)->setText(QString(40, QLatin1Char('9')));
    QCOMPARE(panel_->box(1)->text(), QString("255"));
    QCOMPARE(panel_->currentColour(), rgb(255, 255, 30));
    panel_->box(1)->setText("4294967297");  // 2^32 + 1
    QCOMPARE(panel_->box(1)->text(), QString("255"));

    // A cleared box counts as 0 and the colour stays valid.
    typeInto(panel_->box(2), "7");
    panel_->box(2)->clear();
    QCOMPARE(panel_->currentColour(), rgb(255, 255, 0));
    QVERIFY(uitest::shownBoxes().empty());
  }

  void readNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::uint32_t>("value");
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("plain") << "128" << 128u;
    QTest::newRow("leading zeros") << "0007" << 7u;
    QTest::newRow("trailing letters") << "12a" << 0u;
    QTest::newRow("sign") << "-5" << 0u;
    QTest::newRow("space") << " 5" << 0u;
    QTest::newRow("forty digits") << QString(40, QLatin1Char('9')) << 1000000000u;
    QTest::newRow("41st character ignored") << QString(40, QLatin1Char('1')) + "x" << 1000000000u;
    QTest::newRow("wraps in 32 bits") << "4294967296" << 1000000000u;
  }
  void readNumber() {
    QFETCH(QString, text);
    QFETCH(std::uint32_t, value);
    QCOMPARE(CColorPanelDlg::ReadNumber(text), value);
  }

  void invalidBoxesWarnAndOkIgnoresThem() {
    panel_->Open(false);
    panel_->SetCurrentColour(rgb(1, 2, 3));
    if (QWidget* f = QApplication::focusWidget()) f->clearFocus();  // no box has the focus: a large number stays
    QVERIFY(!panel_->box(0)->hasFocus());
    uitest::shownBoxes().clear();
    panel_->box(0)->setText("256");
    QCOMPARE(uitest::shownBoxes().size(), std::size_t(1));
    QCOMPARE(uitest::shownBoxes()[0].text, std::u16string(u"RGB = 1 ~ 255"));
    QCOMPARE(uitest::shownBoxes()[0].caption, std::u16string(u"Warning"));
    QCOMPARE(panel_->currentColour(), rgb(1, 2, 3));  // the last valid one stays

    owner_->got.clear();
    uitest::clickCentre(panel_->okButton());
    QCoreApplication::processEvents();
    QVERIFY(panel_->isVisible());
    QVERIFY(owner_->only(kMsgColourPicked).empty());
    uitest::shownBoxes().clear();
  }

  void okPostsTheColourAndHides() {
    panel_->Open(true);
    panel_->SetCurrentColour(rgb(9, 8, 7));
    typeInto(panel_->box(1), "200");
    owner_->got.clear();
    uitest::clickCentre(panel_->okButton());
    QTRY_COMPARE(owner_->only(kMsgColourPicked).size(), std::size_t(1));
    QCOMPARE(owner_->only(kMsgColourPicked)[0].w, platform::WPARAM(rgb(9, 200, 7)));
    QCOMPARE(owner_->only(kMsgColourPicked)[0].l, platform::LPARAM(0));
    QVERIFY(panel_->isHidden());
    // It opens again with the last colour.
    panel_->Open(false);
    QCOMPARE(panel_->currentColour(), rgb(9, 200, 7));
    QCOMPARE(panel_->box(1)->text(), QString("200"));
    panel_->hide();
  }

  void cleanupTestCase() { main_.reset(); }
};

QObject* makeColorPanelTest() { return new ColorPanelTest; }

#include "color_panel_test.moc"
