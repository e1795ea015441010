#include "tests/launcher/launcher_fixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <iostream>

#include "platform/paths.h"

namespace launchertest {

// ---- LauncherFolder ---------------------------------------------------------

LauncherFolder::LauncherFolder(bool withPrograms) {
  QDir().mkpath(subFolder(true));
  QDir().mkpath(subFolder(false));
  if (withPrograms) {
    addStandIn(true);
    addStandIn(false);
  }
  platform::setProgramFolder(root().toStdString());
}

LauncherFolder::~LauncherFolder() { platform::setProgramFolder({}); }

QString LauncherFolder::root() const { return QString::fromStdString(dir_.file("KavroQ350")); }

QString LauncherFolder::subFolder(bool rgb) const {
  return root() + (rgb ? QStringLiteral("/Q350RGB") : QStringLiteral("/Q350"));
}

QString LauncherFolder::programPath(bool rgb) const {
  return subFolder(rgb) + (rgb ? QStringLiteral("/Lumera") : QStringLiteral("/Q350Config"));
}

static QString recordPath(const testsupport::TempDir& dir, bool rgb) {
  return QString::fromStdString(dir.file(rgb ? "Lumera.record" : "Q350Config.record"));
}

void LauncherFolder::addStandIn(bool rgb) {
  // One short printf per run: a single append, so a reader never sees half
  // a line.
  const std::string script = "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$0\" \"$#\" \"$(pwd -P)\" >> " +
                             testsupport::shellQuote(recordPath(dir_, rgb).toStdString()) + "\n";
  QFile f(programPath(rgb));
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(script.data(), qint64(script.size()));
  f.close();
  QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser));
}

QStringList LauncherFolder::records(bool rgb) const {
  QFile f(recordPath(dir_, rgb));
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromUtf8(f.readAll());
  QStringList lines = text.split(QLatin1Char('\n'));
  lines.removeLast();  // what follows the last line break: nothing, or a line still being written
  return lines;
}

bool LauncherFolder::waitForRecord(bool rgb) const {
  for (int i = 0; i < 2000 && records(rgb).isEmpty(); ++i) QTest::qWait(10);
  return !records(rgb).isEmpty();
}

// ---- Simulator -------------------------------------------------------------

bool Simulator::start(const std::vector<std::string>& keyboards) {
  if (!process_.start(keyboards, KAVRO_KBSIM_PATH)) return false;
  socket_.emplace("KAVRO_SIM_SOCKET", process_.socketPath());
  return true;
}

// ---- DebugLines --------------------------------------------------------------

namespace {
QMutex gDebugMutex;
QStringList gDebugLines;
QtMessageHandler gPreviousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg) {
    QMutexLocker lock(&gDebugMutex);
    gDebugLines << message;
  } else if (gPreviousHandler) {
    gPreviousHandler(type, context, message);
  }
}
}  // namespace

DebugLines::DebugLines() {
  QMutexLocker lock(&gDebugMutex);
  gDebugLines.clear();
  gPreviousHandler = qInstallMessageHandler(collect);
}

DebugLines::~DebugLines() { qInstallMessageHandler(gPreviousHandler); }

QStringList DebugLines::lines() const {
  QMutexLocker lock(&gDebugMutex);
  return gDebugLines;
}

// ---- StdoutCapture -------------------------------------------------------------

StdoutCapture::StdoutCapture() {
  std::cout.flush();
  std::fflush(stdout);
  file_ = ::open(dir_.file("stdout").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  saved_ = ::dup(1);
  if (file_ >= 0 && saved_ >= 0) ::dup2(file_, 1);
}

StdoutCapture::~StdoutCapture() {
  std::cout.flush();
  std::fflush(stdout);
  if (saved_ >= 0) {
    ::dup2(saved_, 1);
    ::close(saved_);
  }
  if (file_ >= 0) ::close(file_);
}

std::string StdoutCapture::text() {
  std::cout.flush();
  std::fflush(stdout);
  return testsupport::readAll(dir_.file("stdout"));
}

// ---- quitsWhileRunning -----------------------------------------------------------

bool quitsWhileRunning(const std::function<void()>& inside, int watchdogMs) {
  constexpr int kWatchdog = 99;
  QObject context;
  QTimer::singleShot(watchdogMs, &context, [] { QCoreApplication::exit(kWatchdog); });
  if (inside) QTimer::singleShot(0, &context, inside);
  // QCoreApplication::exec, not a local loop: it clears a quit request left
  // over from before and is what QCoreApplication::quit() ends.
  return QCoreApplication::exec() != kWatchdog;
}

}  // namespace launchertest
