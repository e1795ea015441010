#include "tests/lumera/app/ui_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "lumera/model/config.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/ui/window_look.h"
#include "shared/orvane_binding.h"
#include "shared/text_table.h"
#include "tests/support/test_env.h"

namespace uitest {

const QColor kNormal(200, 40, 40), kOver(40, 200, 40), kDown(40, 40, 200), kMainBackground(90, 90, 30),
    kBar(250, 160, 0);

namespace {

std::unique_ptr<testsupport::TempDir> gFolder;

// The set-up runs outside any test function, where QVERIFY cannot report.
void require(bool ok, const char* what) {
  if (!ok) qFatal("test set-up failed: %s", what);
}

void picture(const QString& name, QSize size, QColor colour, const QString& label = QString()) {
  QImage img(size, QImage::Format_ARGB32);
  img.fill(colour);
  QPainter p(&img);
  p.setPen(colour.lighter(150));
  p.drawRect(0, 0, size.width() - 1, size.height() - 1);
  if (!label.isEmpty()) {
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, label);
  }
  p.end();
  const QString path = QString::fromStdString(gFolder->file("skins/" + name.toStdString()));
  QDir().mkpath(QFileInfo(path).path());
  require(img.save(path), "save a picture");
}

}  // namespace

std::string programFolder() { return gFolder->path() + "/"; }

void writeSkin(const QString& name, QSize size, QColor colour) { picture(name, size, colour); }

void removeSkin(const QString& name) {
  QFile::remove(QString::fromStdString(gFolder->file("skins/" + name.toStdString())));
}

void setUpProgramFolder() {
  gFolder = std::make_unique<testsupport::TempDir>();
  platform::setProgramFolder(gFolder->path());
  picture("main_nr.png", {1000, 650}, kMainBackground);
  picture("msg_nr.png", {520, 210}, QColor(45, 48, 56));
  picture("msgico.png", {40, 40}, QColor(30, 120, 220), "i");
  for (const char* n : {"exit", "btn", "min"}) {
    const QSize s = QString(n) == "btn" ? QSize(57, 30) : QSize(20, 15);
    picture(QString(n) + "_nr.png", s, kNormal);
    picture(QString(n) + "_ov.png", s, kOver);
  }
  picture("btn_dn.png", {57, 30}, kDown);
  picture("combo_nr.png", {193, 27}, QColor(60, 60, 70));
  picture("combo_ov.png", {193, 27}, QColor(80, 80, 110));
  picture("check_nr.png", {14, 14}, kNormal);
  picture("check_ov.png", {14, 14}, kOver);
  picture("check_dn.png", {14, 14}, kDown);
  picture("slider.png", {18, 18}, QColor(220, 220, 220));
  picture("dpi_bar.png", {180, 6}, QColor(120, 120, 120));
  picture("progress_nr.png", {500, 140}, QColor(40, 40, 48));
  {
    QImage bar(500, 140, QImage::Format_ARGB32);
    bar.fill(QColor(40, 40, 48));
    QPainter p(&bar);
    p.fillRect(QRect(QPoint(45, 101), QPoint(486, 123)), kBar);
    p.end();
    bar.save(QString::fromStdString(gFolder->file("skins/progress_ov.png")));
  }
  for (int i = 1; i <= 7; ++i) {
    const QString n = QString::number(i);
    picture("Gest/gest" + n + "_nr.png", {100, 100}, kNormal, "G" + n);
    picture("Gest/gest" + n + "_ov.png", {100, 100}, kOver, "G" + n);
    picture("Gest/gest" + n + "_dn.png", {100, 100}, kDown, "G" + n);
  }
  // The key function picker and the macro library.
  picture("pickfundlg.png", {545, 360}, QColor(36, 40, 46));
  picture("btn2_nr.png", {150, 40}, QColor(70, 70, 90));
  picture("button_nr.png", {224, 26}, QColor(20, 20, 24));
  picture("Check_nr.png", {11, 11}, kNormal);
  picture("Check_dn.png", {11, 11}, kDown);
  picture("open.png", {12, 12}, kOver);
  picture("close.png", {12, 12}, kDown);
  picture("macro_nr.png", {560, 380}, QColor(32, 36, 42));
  picture("recbtn_nr.png", {148, 29}, kNormal, "rec");
  picture("recbtn_dn.png", {148, 29}, kDown, "rec");
  picture("radio_nr.png", {16, 16}, kNormal);
  picture("radio_ov.png", {16, 16}, kOver);
  picture("radio_dn.png", {16, 16}, kDown);
  picture("DN_N.png", {12, 12}, QColor(0, 160, 255));
  picture("UP_N.png", {12, 12}, QColor(255, 160, 0));
  picture("TM_N.png", {12, 12}, QColor(160, 160, 160));
  for (const char* n : {"menu_nr", "menusub_nr"}) picture(QString(n) + ".bmp", {120, 20}, QColor(50, 50, 50));
  for (const char* n : {"menu_ov", "menusub_ov"}) picture(QString(n) + ".bmp", {120, 20}, QColor(30, 90, 160));

  require(QFile::link(ORVANE_LUMERA_LIB, QString::fromStdString(gFolder->file("libOrvane.so"))), "link the menu library");
  require(shared::orvane().load(gFolder->path(), shared::OrvaneBinding::Form::Lumera), "load the menu library");

  for (const char* key : {"tc_ok", "tc_cancel", "tc_msg10", "tc_msg21", "tc_combo_tips", "tc_msg12", "tc_msg3",
                          "tc_msg14", "tc_msg34", "tc_msg9", "tc_msg6", "tc_msg7", "tc_page1", "tc_page3", "tc_msg25",
                          "tc_macro_list", "tc_macro_key_list", "tc_tip1", "tc_tip2", "tc_tip3", "tc_macro_msg1",
                          "tc_macro_msg3", "tc_macro_msg4", "tc_macro_msg5", "tc_macro_msg6", "tc_macro_msg7",
                          "tc_macro_msg8", "tc_macro_msg9", "tc_macro_msg10", "tc_macro_msg11", "tc_macro_msg12",
                          "tc_macro_msg13", "tc_macro_msg14", "tc_macro_msg15", "tc_macro_msg16", "tc_macro_msg17",
                          "tc_macro_msg18", "tc_macro_msg20", "tc_macro_msg21", "tc_macro_msg22", "tc_macro_auto",
                          "tc_macro_loop", "tc_macro_loop1", "tc_macro_loop2", "tc_macro_start", "tc_macro_stop",
                          "tc_click", "tc_menu", "tc_middle", "tc_forward", "tc_back", "tc_scrollup",
                          "tc_scrolldown", "tc_macro_full", "tc_macro_deep", "tc_macro_itself",
                          "tc_macro_savefail"}) {
    const std::string k(key);
    const std::u16string t = k == "tc_ok" ? u"OK" : k == "tc_cancel" ? u"Cancel" : platform::toUtf16("[" + k + "]");
    shared::lumeraTexts().SetText(key, t);
  }
  for (const auto& e : std::vector<std::pair<const char*, const char16_t*>>{
           {"tc_kbmedia_msel", u"Media"}, {"tc_msg18", u"Left group"}, {"tc_msg19", u"Right group"},
           {"tc_adv_str1", u"Left one"}, {"tc_adv_str2", u"Left two"}, {"tc_adv_str16", u"Group"}})
    shared::lumeraTexts().SetText(e.first, e.second);
  lumera::Options& o = lumera::theConfig().options();
  o.Btn_txt_clr_nr = 0xFFFFFF;
  o.Btn_txt_clr_ov = 0x00FFFF;
  o.Btn_txt_clr_dn = 0x0000FF;
  o.LstBox_txt_clr_nr = 0xCAC2BA;
  o.LstBox_txt_clr_dn = 0xF0DE5E;
  o.LstBox_bkg_clr = 0x1D1916;
  o.LstBox_item_clr = 0x2B2520;
  o.Menu_txt_clr_nr = 0xC8C8C8;
  o.Menu_txt_clr_ov = 0xFFFFFF;
  o.Menu_txt_clr_dn = 0x00FFFF;
  platform::setMessageBoxHandler([](QWidget*, const std::u16string& t, const std::u16string& c, platform::MessageBoxIcon) {
    shownBoxes().push_back({t, c});
    return 1;
  });
}

std::vector<ShownBox>& shownBoxes() {
  static std::vector<ShownBox> boxes;
  return boxes;
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent e(type, local, w->mapToGlobal(local), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void click(QWidget* w, QPoint local) {
  sendMouse(w, QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
  sendMouse(w, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton);
}

void clickCentre(QWidget* w) { click(w, w->rect().center()); }

void sendKey(QWidget* w, QEvent::Type type, int qtKey, quint32 scanCode, Qt::KeyboardModifiers mods) {
  QKeyEvent e(type, qtKey, mods, scanCode, 0, 0);
  QApplication::sendEvent(w, &e);
}

void saveShot(QWidget* w, const QString& name) {
  const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
  QDir().mkpath(dir);
  w->grab().save(dir + "/" + name + ".png");
}

QColor pixelAt(QWidget* w, QPoint p) { return w->grab().toImage().pixelColor(p); }

void whenOpen(const std::u16string& title, std::function<void(platform::MessageWindow*)> action) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, title, action] {
    const platform::WindowHandle h = platform::windowMessenger().findWindow(title);
    platform::MessageWindow* w = platform::MessageWindow::fromHandle(h);
    if ((w && w->isRunningModal() && w->isVisible()) || ++*tries > 400) {
      timer->stop();
      timer->deleteLater();
      if (w) action(w);
    }
  });
  timer->start(5);
}

std::vector<QWidget*> menuLevels() {
  std::vector<QWidget*> out;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "OrvaneMenu" && w->isVisible()) out.push_back(w);
  std::sort(out.begin(), out.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
  return out;
}

std::vector<Recorder::Got> Recorder::only(unsigned message) const {
  std::vector<Got> out;
  for (const Got& g : got)
    if (g.message == message) out.push_back(g);
  return out;
}

bool Recorder::onMessage(unsigned m, platform::WPARAM w, platform::LPARAM l, platform::LRESULT&) {
  got.push_back({m, w, l});
  if (onGot) onGot(got.back());
  return true;
}

}  // namespace uitest
