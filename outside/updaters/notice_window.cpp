#include "outside/updaters/notice_window.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/folders.h"
#include "platform/paths.h"

namespace kavroupdate {

bool chineseUser() { return QLocale::system().language() == QLocale::Chinese; }

NoticeWindow::NoticeWindow(const QString& title, const QString& text) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(text, this);
  label->setWordWrap(true);
  label->setMinimumWidth(360);
  layout->addWidget(label);
  auto* close = new QPushButton(chineseUser() ? QStringLiteral("关闭") : QStringLiteral("Close"), this);
  close->setDefault(true);
  QObject::connect(close, &QPushButton::clicked, this, [this] { postMessage(platform::WM_CLOSE); });
  layout->addWidget(close, 0, Qt::AlignRight);
}

bool NoticeWindow::serve(const std::string& lockName) {
  lock_ = std::make_unique<QLockFile>(QString::fromStdString(platform::joinPath(platform::runtimeFolder(), lockName)));
  if (!lock_->tryLock(0)) return false;
  return server_.listen(this, windowTitle().toStdU16String(), {platform::WM_CLOSE});
}

}  // namespace kavroupdate
