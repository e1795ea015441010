#include "q350config/app/update_fetch.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace q350app {

namespace {

constexpr char kDefaultBase[] = "https://download.kavro.example";

bool fileBase() { return UpdateBase().startsWith(QLatin1String("file://"), Qt::CaseInsensitive); }

// Writes the whole of `bytes` to target through "<target>.part".
bool commit(const QByteArray& bytes, const std::string& target) {
  const QString path = QString::fromStdString(target);
  const QString part = path + QLatin1String(".part");
  QFile out(part);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const bool written = out.write(bytes) == bytes.size() && out.flush();
  out.close();
  if (!written || std::rename(part.toStdString().c_str(), target.c_str()) != 0) {
    QFile::remove(part);
    return false;
  }
  return true;
}

}  // namespace

QString UpdateBase() {
  QString base = qEnvironmentVariableIsSet("KAVRO_UPDATE_BASE") ? qEnvironmentVariable("KAVRO_UPDATE_BASE")
                                                                 : QString::fromLatin1(kDefaultBase);
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  return base;
}

QString VersionText(int number) {
  return QStringLiteral("%1.%2.%3").arg(number / 100).arg(number / 10 % 10).arg(number % 10);
}

QString ManifestAddress() { return UpdateBase() + QLatin1String("/software/q350/update.xml"); }

bool IsAcceptedAddress(const QString& address) {
  const QUrl url(address.trimmed(), QUrl::StrictMode);
  if (!url.isValid()) return false;
  if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) return !url.host().isEmpty();
  if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0 || !fileBase()) return false;
  // Under the base folder, and no way out of it.
  const QString base = QDir::cleanPath(QUrl(UpdateBase()).toLocalFile()) + QLatin1Char('/');
  const QString local = QDir::cleanPath(url.toLocalFile());
  return local.startsWith(base);
}

bool FetchFile(const QString& address, const std::string& target, int timeoutMs) {
  QFile::remove(QString::fromStdString(target));
  if (!IsAcceptedAddress(address)) return false;
  const QUrl url(address.trimmed());
  if (url.isLocalFile()) {
    QFile in(url.toLocalFile());
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError || bytes.size() != in.size()) return false;
    return commit(bytes, target);
  }

  QNetworkAccessManager net;
  QNetworkRequest request(url);
  // A redirect may not leave https.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply* reply = net.get(request);
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  bool timedOut = false;
  QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    reply->abort();
  });
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  limit.start(timeoutMs);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  limit.stop();
  const QByteArray bytes = reply->readAll();
  const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
  const bool whole = !timedOut && reply->error() == QNetworkReply::NoError &&
                     reply->url().scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
                     (!length.isValid() || length.toLongLong() == bytes.size());
  return whole && commit(bytes, target);
}

}  // namespace q350app
