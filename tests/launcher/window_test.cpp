// The "no keyboard" window: its form, its two buttons, and a screenshot
// under the offscreen platform.
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "launcher/main_window.h"
#include "tests/launcher/launcher_fixture.h"
#include "tests/support/test_env.h"

namespace {

bool isTeal(QRgb c) { return qRed(c) == 8 && qGreen(c) == 124 && qBlue(c) == 144; }

// Pixels inside `r` bright enough to be white text on the dark face.
int brightPixels(const QImage& img, const QRect& r) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += qGray(img.pixel(x, y)) > 180;
  return n;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT
 private slots:
  void form() {
    MainWindow w;
    QCOMPARE(w.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(w.size(), QSize(530, 201));
    QCOMPARE(int(w.windowFlags() & (Qt::FramelessWindowHint | Qt::CustomizeWindowHint)), 0x02000800);
    QCOMPARE(w.windowTitle(), QStringLiteral("MainWindow"));
    QWidget* central = w.centralWidget();
    QCOMPARE(central->objectName(), QStringLiteral("centralWidget"));

    struct Child {
      const char* name;
      QRect geometry;
    };
    const Child children[] = {{"widget", {0, 0, 523, 2}},      {"widget_2", {0, 40, 523, 1}},
                              {"mOk", {440, 150, 57, 30}},     {"mClose", {490, 10, 17, 16}},
                              {"label", {115, 80, 300, 31}}};
    for (const Child& c : children) {
      QWidget* child = central->findChild<QWidget*>(QLatin1String(c.name), Qt::FindDirectChildrenOnly);
      QVERIFY2(child, c.name);
      QCOMPARE(child->geometry(), c.geometry);
    }
    auto* label = central->findChild<QLabel*>(QStringLiteral("label"));
    QCOMPARE(label->font().pointSize(), 11);
    QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    // Texts and the style sheets' looks are checked on the screenshot.
  }

  void picturesAreCompiledIn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("pr.png") << QStringLiteral("://pr.png") << QSize(530, 201);
    QTest::newRow("exit_nr.png") << QStringLiteral("://exit_nr.png") << QSize(16, 15);
    QTest::newRow("exit_ov.png") << QStringLiteral("://exit_ov.png") << QSize(16, 15);
  }
  void picturesAreCompiledIn() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    MainWindow w;  // registers the resources
    QImage img(name);
    QVERIFY(!img.isNull());
    QCOMPARE(img.size(), size);
  }

  void buttonsEndTheLauncher_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("OK") << QStringLiteral("mOk");
    QTest::newRow("close") << QStringLiteral("mClose");
  }
  void buttonsEndTheLauncher() {
    QFETCH(QString, button);
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* b = w.findChild<QPushButton*>(button);
    QVERIFY(launchertest::quitsWhileRunning([b] { QTest::mouseClick(b, Qt::LeftButton); }));
  }

  void screenshot() {
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QImage shot = w.grab().toImage();
    const QString file =
        QString::fromStdString(testsupport::binaryDir()) + QStringLiteral("/tests/launcher/launcher_window.png");
    QDir().mkpath(QFileInfo(file).path());
    QVERIFY(shot.save(file));
    QCOMPARE(shot.size(), QSize(530, 201));

    // The picture is the face (not the style's plain grey), the two rules
    // are teal and stop 7 pixels short of the right edge.
    QVERIFY(qGray(shot.pixel(265, 130)) < 60);
    for (int x : {0, 200, 522}) QVERIFY(isTeal(shot.pixel(x, 40)));
    QVERIFY(!isTeal(shot.pixel(526, 40)));
    for (int x : {0, 300, 522}) QVERIFY(isTeal(shot.pixel(x, 1)));

    // The texts are painted, white, where their widgets are.
    auto* label = w.findChild<QLabel*>(QStringLiteral("label"));
    auto* ok = w.findChild<QPushButton*>(QStringLiteral("mOk"));
    QCOMPARE(label->text(), QStringLiteral("未检测到键盘"));
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    QVERIFY(brightPixels(shot, label->geometry()) > 40);
    QVERIFY(brightPixels(shot, ok->geometry().adjusted(2, 2, -2, -2)) > 10);
    QCOMPARE(brightPixels(shot, QRect(20, 60, 80, 80)), 0);
  }
};

QObject* makeWindowTest() { return new WindowTest; }

#include "window_test.moc"
