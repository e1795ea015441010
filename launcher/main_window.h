// The launcher's small frameless window: "no keyboard detected", with an
// OK button and a close button that both end the launcher.
#pragma once

#include <QMainWindow>

class QLabel;
class QPushButton;
class QWidget;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

 private slots:
  // Connected by name to the buttons "mOk" and "mClose".
  void on_mOk_clicked();
  void on_mClose_clicked();

 private:
  void setupUi();
  void retranslateUi();

  QWidget* centralWidget_ = nullptr;
  QPushButton* mOk_ = nullptr;
  QPushButton* mClose_ = nullptr;
  QLabel* label_ = nullptr;
};
