#include "launcher/main_window.h"

#include <QCoreApplication>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

// The pictures are compiled into this static library; a static library's
// resources must be registered by hand (outside any namespace).
static void initLauncherPictures() { Q_INIT_RESOURCE(launcher_pictures); }

namespace {

const char kLineStyle[] = "background: rgb( 8, 124, 144 )";

const char kOkStyle[] =
    "QPushButton{\n"
    "background: transparent;\n"
    "border: 1px solid #087C90;\n"
    "color: white;\n"
    "}\n"
    " QPushButton:hover{\n"
    "background: transparent;\n"
    "border: 1px solid #242424;\n"
    "color: white;\n"
    "}\n"
    "QPushButton:pressed{\n"
    "background: transparent;\n"
    "border: 1px solid #087C90;\n"
    "color: white;\n"
    "}";

const char kCloseStyle[] =
    "QPushButton\n"
    "{\n"
    "background: url(://exit_nr.png);\n"
    "border: 1px solid #087C90;\n"
    "}  \n"
    "QPushButton:hover\n"
    "{\n"
    "background: url(://exit_ov.png);\n"
    "border: 1px solid #242424;\n"
    "}\n"
    "QPushButton:pressed\n"
    "{\n"
    "background: url(://exit_nr.png);\n"
    "border: 1px solid #087C90;\n"
    "}";

template <typename W>
W* addChild(QWidget* parent, const char* name, const QRect& geometry, const char* styleSheet) {
  auto* w = new W(parent);
  w->setObjectName(QLatin1String(name));
  w->setGeometry(geometry);
  w->setStyleSheet(QString::fromUtf8(styleSheet));
  return w;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  initLauncherPictures();
  setupUi();
}

MainWindow::~MainWindow() = default;

void MainWindow::setupUi() {
  if (objectName().isEmpty()) setObjectName(QStringLiteral("MainWindow"));
  resize(530, 201);
  setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
  setStyleSheet(QString());

  centralWidget_ = new QWidget(this);
  centralWidget_->setObjectName(QStringLiteral("centralWidget"));
  centralWidget_->setStyleSheet(QStringLiteral("background: url(://pr.png)"));

  // Two teal rules: along the top edge and under the title band. Both stop
  // 7 pixels short of the right edge.
  addChild<QWidget>(centralWidget_, "widget", QRect(0, 0, 523, 2), kLineStyle);
  addChild<QWidget>(centralWidget_, "widget_2", QRect(0, 40, 523, 1), kLineStyle);
  mOk_ = addChild<QPushButton>(centralWidget_, "mOk", QRect(440, 150, 57, 30), kOkStyle);
  mClose_ = addChild<QPushButton>(centralWidget_, "mClose", QRect(490, 10, 17, 16), kCloseStyle);
  label_ = addChild<QLabel>(centralWidget_, "label", QRect(115, 80, 300, 31),
                            "background: transparent;\ncolor: white;");
  QFont font;
  font.setPointSize(11);
  label_->setFont(font);
  label_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

  setCentralWidget(centralWidget_);
  retranslateUi();
  QMetaObject::connectSlotsByName(this);
}

void MainWindow::retranslateUi() {
  setWindowTitle(QCoreApplication::translate("MainWindow", "MainWindow"));
  mOk_->setText(QCoreApplication::translate("MainWindow", "确定"));
  mClose_->setText(QString());
  label_->setText(QCoreApplication::translate("MainWindow", "未检测到键盘"));
}

void MainWindow::on_mOk_clicked() { QCoreApplication::quit(); }

void MainWindow::on_mClose_clicked() { QCoreApplication::quit(); }
