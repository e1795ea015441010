// The services the Lumera program plugs into its model and windows: the
// model's message boxes, the notification-area icon and the skinned
// message dialogs of the main window, each behind a small interface so that
// tests can put stand-ins in their place.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

#include "lumera/model/services.h"

class QSystemTrayIcon;
class QWidget;

namespace platform {
class MessageWindow;
}

namespace lumera {

// The model's message boxes as platform message boxes. On the
// user-interface thread a box is shown at once (and returns when closed);
// from any other thread it is handed to the user-interface thread and the
// caller goes on at once, so a worker never waits on a box while the
// window waits on the worker. Installs itself for its lifetime.
class UiMessageBoxes final : public QObject, public MessageBoxes {
 public:
  UiMessageBoxes();
  ~UiMessageBoxes() override;
  void show(std::u16string_view caption, std::u16string_view text, MessageIcon icon) override;
};

// The notification-area icon. A left click arrives at the window as
// message 1132 with lParam 513, the context request as 1132 with lParam 517.
class TrayIcon {
 public:
  static constexpr unsigned kMsgTray = 1132;
  static constexpr long kLeftButtonDown = 513;
  static constexpr long kRightButtonUp = 517;

  virtual ~TrayIcon() = default;
  // Whether the desktop has a notification area at all.
  virtual bool isAvailable() const = 0;
  virtual bool add(platform::MessageWindow* window, const QIcon& icon, const QString& tip) = 0;
  virtual void remove() = 0;
  virtual bool exists() const = 0;
  virtual void showBalloon(const QString& title, const QString& text, int timeoutSeconds) = 0;
};

// The desktop's notification area (QSystemTrayIcon).
std::unique_ptr<TrayIcon> makeSystemTrayIcon();

// The skinned message dialogs the main window asks the user with.
class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual void info(QWidget* parent, const QString& text) = 0;
  virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
  // True with a non-empty text when the user pressed OK.
  virtual bool askText(QWidget* parent, const QString& text, QString& out) = 0;
};

// CMsgDlg (InfoBox, AskYesNo, AskText).
Prompts& skinnedPrompts();

}  // namespace lumera
