#include "platform/ui/window_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <cstdio>

#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/ui/message_window.h"

namespace platform {

namespace {

// One frame: message (u32), wParam (u64), lParam (i64), little-endian.
constexpr int kFrameSize = 20;
static_assert(kFrameSize == 4 + 8 + 8, "message frame layout");

void putLE(char* p, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint64_t getLE(const char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return v;
}

}  // namespace

std::string windowServerPath(std::u16string_view title) {
  // FNV-1a over the case-folded UTF-16 title.
  std::uint64_t h = 1469598103934665603ull;
  for (char16_t c : title) {
    const char16_t f = asciiLower(c);
    h = (h ^ (f & 0xFF)) * 1099511628211ull;
    h = (h ^ (f >> 8)) * 1099511628211ull;
  }
  char name[40];
  std::snprintf(name, sizeof name, "kavro-window-%016llx", static_cast<unsigned long long>(h));
  return joinPath(runtimeFolder(), name);
}

WindowServer::WindowServer(QObject* parent) : QObject(parent) {}

WindowServer::~WindowServer() { close(); }

bool WindowServer::listen(MessageWindow* target, std::u16string_view title, std::initializer_list<unsigned> allowed) {
  close();
  target_ = target;
  allowed_ = allowed;
  const QString path = QString::fromStdString(windowServerPath(title));
  QLocalServer::removeServer(path);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &WindowServer::onConnection);
  if (!server_->listen(path)) {
    delete server_;
    server_ = nullptr;
    return false;
  }
  return true;
}

void WindowServer::close() {
  if (!server_) return;
  server_->close();
  delete server_;
  server_ = nullptr;
}

bool WindowServer::isListening() const { return server_ && server_->isListening(); }

void WindowServer::onConnection() {
  while (QLocalSocket* s = server_->nextPendingConnection()) {
    connect(s, &QLocalSocket::readyRead, this, [this, s] { onReadable(s); });
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    if (s->bytesAvailable() >= kFrameSize) onReadable(s);
  }
}

void WindowServer::onReadable(QLocalSocket* s) {
  if (s->bytesAvailable() < kFrameSize) return;
  char frame[kFrameSize];
  if (s->read(frame, kFrameSize) != kFrameSize) return;
  const auto message = static_cast<unsigned>(getLE(frame, 4));
  const auto w = static_cast<WPARAM>(getLE(frame + 4, 8));
  const auto l = static_cast<LPARAM>(getLE(frame + 12, 8));
  // One frame per connection; anything else on it is ignored.
  s->disconnectFromServer();
  if (target_ && allowed_.count(message)) target_->postMessage(message, w, l);
}

bool postToOtherProcess(std::u16string_view title, unsigned message, WPARAM w, LPARAM l, int timeoutMs) {
  QLocalSocket s;
  s.connectToServer(QString::fromStdString(windowServerPath(title)));
  if (!s.waitForConnected(timeoutMs)) return false;
  char frame[kFrameSize];
  putLE(frame, message, 4);
  putLE(frame + 4, static_cast<std::uint64_t>(w), 8);
  putLE(frame + 12, static_cast<std::uint64_t>(l), 8);
  if (s.write(frame, kFrameSize) != kFrameSize) return false;
  if (s.bytesToWrite() > 0 && !s.waitForBytesWritten(timeoutMs)) return false;
  s.disconnectFromServer();
  if (s.state() != QLocalSocket::UnconnectedState) s.waitForDisconnected(timeoutMs);
  return true;
}

bool otherProcessHasWindow(std::u16string_view title, int timeoutMs) {
  return postToOtherProcess(title, WM_NULL, 0, 0, timeoutMs);
}

}  // namespace platform
