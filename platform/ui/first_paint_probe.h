// The start-up benchmark's probe: when KAVRO_FIRST_PAINT_FILE is set, the
// wall-clock time (nanoseconds since the epoch) of a window's first paint
// is written there, so that a script can measure from process start to the
// first picture on the screen.
#pragma once

#include <QEvent>
#include <QFile>
#include <QObject>
#include <ctime>

class FirstPaintProbe : public QObject {
 public:
  // Watches `window` when the variable is set; otherwise does nothing.
  static void watch(QObject* window) {
    const QByteArray file = qgetenv("KAVRO_FIRST_PAINT_FILE");
    if (!file.isEmpty()) window->installEventFilter(new FirstPaintProbe(QString::fromLocal8Bit(file), window));
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint && !done_) {
      done_ = true;
      timespec ts{};
      clock_gettime(CLOCK_REALTIME, &ts);
      QFile f(file_);
      if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(QByteArray::number(static_cast<qlonglong>(ts.tv_sec) * 1000000000LL + ts.tv_nsec));
    }
    return QObject::eventFilter(watched, e);
  }

 private:
  FirstPaintProbe(QString file, QObject* parent) : QObject(parent), file_(std::move(file)) {}
  QString file_;
  bool done_ = false;
};
