#include "platform/ui/message_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWindow>
#include <mutex>
#include <string>
#include <vector>

#include "platform/text.h"

namespace platform {

namespace {

// Every MessageWindow of the process, by handle, with what other threads may
// ask about it. The lock is held while a message is queued, and a window
// leaves the table (under the lock) before its QObject part is destroyed, so
// a post either reaches a living object (whose destructor then drops the
// queued event) or finds the handle gone.
struct Registry {
  struct Entry {
    MessageWindow* window;
    std::u16string title;
    bool topLevel;
  };
  std::mutex mutex;
  std::map<WindowHandle, Entry> windows;  // ordered by handle: creation order
  WindowHandle next = 1;
};

Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: windows may outlive static teardown
  return *r;
}

const int kReservedType = QEvent::registerEventType(PostedMessage::kType);

class RegistryMessenger final : public WindowMessenger {
 public:
  WindowHandle findWindow(std::u16string_view title) override {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (const auto& [h, e] : r.windows)
      if (e.topLevel && equalsNoCase(std::u16string_view(e.title), title)) return h;
    return 0;
  }
  bool postMessage(WindowHandle window, unsigned message, WPARAM w, LPARAM l) override {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.windows.find(window);
    if (it == r.windows.end()) return false;
    QCoreApplication::postEvent(it->second.window, new PostedMessage(message, w, l));
    return true;
  }
  bool isWindow(WindowHandle window) override {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.windows.count(window) != 0;
  }
};

}  // namespace

WindowMessenger& windowMessenger() {
  static RegistryMessenger messenger;
  return messenger;
}

MessageWindow::MessageWindow(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  (void)kReservedType;
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  handle_ = r.next++;
  r.windows.emplace(handle_, Registry::Entry{this, {}, isWindow()});
}

MessageWindow::~MessageWindow() {
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.windows.erase(handle_);
  }
  if (loop_) loop_->quit();
}

MessageWindow* MessageWindow::fromHandle(WindowHandle h) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.windows.find(h);
  return it == r.windows.end() ? nullptr : it->second.window;
}

void MessageWindow::updateRegistry() {
  const std::u16string title = windowTitle().toStdU16String();
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.windows.find(handle_);
  if (it == r.windows.end()) return;
  it->second.title = title;
  it->second.topLevel = isWindow();
}

LRESULT MessageWindow::sendMessage(unsigned message, WPARAM w, LPARAM l) {
  return sendMessageTo(this, message, w, l);
}

bool MessageWindow::postMessage(unsigned message, WPARAM w, LPARAM l) {
  return windowMessenger().postMessage(handle_, message, w, l);
}

bool MessageWindow::onMessage(unsigned, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT MessageWindow::defaultMessage(unsigned message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) {
    if (modalActive_)
      endDialog(IDCANCEL);
    else
      close();
  }
  return 0;
}

LRESULT MessageWindow::windowProc(unsigned message, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  if (onMessage(message, w, l, result)) return result;
  return defaultMessage(message, w, l);
}

bool MessageWindow::event(QEvent* e) {
  if (e->type() == PostedMessage::kType) {
    auto* m = static_cast<PostedMessage*>(e);
    m->result = windowProc(m->message, m->wParam, m->lParam);
    return true;
  }
  switch (e->type()) {
    case QEvent::WindowTitleChange:
    case QEvent::ParentChange:
      updateRegistry();
      break;
    default:
      break;
  }
  return QWidget::event(e);
}

bool MessageWindow::setWindowTimer(unsigned id, int ms) {
  killWindowTimer(id);
  const int qtId = startTimer(ms < 1 ? 1 : ms);
  if (qtId == 0) return false;
  timers_[id] = qtId;
  return true;
}

bool MessageWindow::killWindowTimer(unsigned id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return false;
  killTimer(it->second);
  timers_.erase(it);
  return true;
}

void MessageWindow::timerEvent(QTimerEvent* e) {
  for (const auto& [id, qtId] : timers_) {
    if (qtId == e->timerId()) {
      windowProc(WM_TIMER, id, 0);
      return;
    }
  }
  QWidget::timerEvent(e);
}

int MessageWindow::doModal() {
  if (modalActive_) return -1;
  QPointer<MessageWindow> self(this);
  modalActive_ = true;
  modalEnded_ = false;
  modalResult_ = IDCANCEL;
  onInitDialog();
  if (!self) return IDCANCEL;
  if (!modalEnded_) {
    setWindowModality(Qt::ApplicationModal);
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
    activateWindow();
    QEventLoop loop;
    loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    if (!self) return IDCANCEL;  // destroyed while running
    loop_ = nullptr;
    hide();
  }
  modalActive_ = false;
  return modalResult_;
}

void MessageWindow::endDialog(int result) {
  modalResult_ = result;
  modalEnded_ = true;
  if (loop_) loop_->quit();
}

void MessageWindow::closeEvent(QCloseEvent* e) {
  if (modalActive_ && !modalEnded_) endDialog(IDCANCEL);
  QWidget::closeEvent(e);
}

void MessageWindow::mousePressEvent(QMouseEvent* e) {
  if (backgroundDrag_ && e->button() == Qt::LeftButton) {
    QWidget* top = window();
    // A window manager that supports it moves the window itself (and knows
    // the screen edges); otherwise the window follows the mouse.
    if (top->windowHandle() && top->windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = e->globalPos() - top->pos();
    return;
  }
  QWidget::mousePressEvent(e);
}

void MessageWindow::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_ && (e->buttons() & Qt::LeftButton)) {
    window()->move(e->globalPos() - dragOffset_);
    return;
  }
  dragging_ = false;
  QWidget::mouseMoveEvent(e);
}

void MessageWindow::mouseReleaseEvent(QMouseEvent* e) {
  if (dragging_ && e->button() == Qt::LeftButton) {
    dragging_ = false;
    return;
  }
  QWidget::mouseReleaseEvent(e);
}

}  // namespace platform
