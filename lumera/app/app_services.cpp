#include "lumera/app/app_services.h"

#include <QCoreApplication>
#include <QSystemTrayIcon>
#include <QThread>

#include "lumera/app/msg_dlg.h"
#include "platform/ui/message_window.h"
#include "platform/ui/window_look.h"

namespace lumera {

namespace {

platform::MessageBoxIcon platformIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return platform::MessageBoxIcon::Information;
    case MessageIcon::Warning: return platform::MessageBoxIcon::Warning;
    case MessageIcon::Error: return platform::MessageBoxIcon::Error;
    default: return platform::MessageBoxIcon::None;
  }
}

}  // namespace

UiMessageBoxes::UiMessageBoxes() { setMessageBoxes(this); }

UiMessageBoxes::~UiMessageBoxes() { setMessageBoxes(nullptr); }

void UiMessageBoxes::show(std::u16string_view caption, std::u16string_view text, MessageIcon icon) {
  std::u16string c(caption), t(text);
  const auto box = [c, t, icon] { platform::messageBox(nullptr, t, c, platformIcon(icon)); };
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) {
    box();
    return;
  }
  QMetaObject::invokeMethod(this, box, Qt::QueuedConnection);
}

// ---- Tray ------------------------------------------------------------------

namespace {

class SystemTray final : public TrayIcon {
 public:
  bool isAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
  bool add(platform::MessageWindow* window, const QIcon& icon, const QString& tip) override {
    if (!isAvailable()) return false;
    icon_ = std::make_unique<QSystemTrayIcon>(icon);
    icon_->setToolTip(tip);
    QPointer<platform::MessageWindow> target(window);
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, [target](QSystemTrayIcon::ActivationReason r) {
      if (!target) return;
      if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
        target->postMessage(kMsgTray, 0, kLeftButtonDown);
      else if (r == QSystemTrayIcon::Context)
        target->postMessage(kMsgTray, 0, kRightButtonUp);
    });
    icon_->show();
    return true;
  }
  void remove() override { icon_.reset(); }
  bool exists() const override { return icon_ != nullptr; }
  void showBalloon(const QString& title, const QString& text, int timeoutSeconds) override {
    if (icon_) icon_->showMessage(title, text, QSystemTrayIcon::Information, timeoutSeconds * 1000);
  }

 private:
  std::unique_ptr<QSystemTrayIcon> icon_;
};

class SkinnedPrompts final : public Prompts {
 public:
  void info(QWidget* parent, const QString& text) override { InfoBox(parent, text); }
  bool askYesNo(QWidget* parent, const QString& text) override { return AskYesNo(parent, text) == 1; }
  bool askText(QWidget* parent, const QString& text, QString& out) override {
    return AskText(parent, text, out) == 1;
  }
};

}  // namespace

std::unique_ptr<TrayIcon> makeSystemTrayIcon() { return std::make_unique<SystemTray>(); }

Prompts& skinnedPrompts() {
  static SkinnedPrompts prompts;
  return prompts;
}

}  // namespace lumera
