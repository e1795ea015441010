// The one window both updater programs show: a text and a Close button.
// Its title is served on the window server, so that Q350Config's watch (a
// separate process) sees it, and WM_CLOSE posted there closes it.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <string>

#include "platform/ui/message_window.h"
#include "platform/ui/window_server.h"

namespace kavroupdate {

// Whether the user's language is Chinese (the updaters speak English or
// Chinese, as Q350Config does).
bool chineseUser();

class NoticeWindow : public platform::MessageWindow {
 public:
  NoticeWindow(const QString& title, const QString& text);
  // Listens under the window's title; false when another instance already
  // holds it (`lockName` is the single-instance lock in the runtime folder).
  bool serve(const std::string& lockName);

 private:
  platform::WindowServer server_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace kavroupdate
