// skingen: draws every picture the programs load and writes it into the
// build's stage folder (see data/stage.cmake).
//
//   kavro_skingen --stage DIR --data DIR [--q350-lang en|sc] [--manifest FILE]
//
// --data is the source data folder: the Lumera key pictures are drawn from
// its lumera/cfg.ini and the skin marker carries the title of lumera/text.xml.
// --manifest receives one "path<TAB>bytes" line per file written; the build
// uses it as the stamp that says the pictures are up to date.
#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QXmlStreamReader>
#include <cstdio>
#include <cstdlib>

#include "tools/skingen/skins.h"

namespace {

// tc_title of Lumera's text file: the marker must carry exactly this title.
QString lumeraTitle(const QString& textXml, const QString& cfgIni) {
  // A "Title" option in cfg.ini replaces the text file's title.
  QFile cfg(cfgIni);
  if (cfg.open(QIODevice::ReadOnly)) {
    bool inOpt = false;
    while (!cfg.atEnd()) {
      const QString line = QString::fromUtf8(cfg.readLine()).trimmed();
      if (line.startsWith(QLatin1Char('['))) {
        inOpt = line.compare(QLatin1String("[OPT]"), Qt::CaseInsensitive) == 0;
      } else if (inOpt && line.startsWith(QLatin1String("Title="), Qt::CaseInsensitive)) {
        const QString value = line.mid(6).trimmed();
        if (!value.isEmpty()) return value;
      }
    }
  }
  QFile file(textXml);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("tc_title"))
      return xml.readElementText();
  }
  return QString();
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing needs fonts but no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QCommandLineParser cli;
  cli.setApplicationDescription(QStringLiteral("Draws the skin pictures of Q350Config and Lumera."));
  cli.addHelpOption();
  QCommandLineOption stage(QStringLiteral("stage"), QStringLiteral("Stage root to write into."), QStringLiteral("dir"));
  QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Source data folder."), QStringLiteral("dir"));
  QCommandLineOption lang(QStringLiteral("q350-lang"), QStringLiteral("Language of the Q350 skin: en or sc."),
                          QStringLiteral("lang"), QStringLiteral("en"));
  QCommandLineOption manifest(QStringLiteral("manifest"), QStringLiteral("File listing what was written."),
                              QStringLiteral("file"));
  cli.addOptions({stage, data, lang, manifest});
  cli.process(app);
  if (!cli.isSet(stage) || !cli.isSet(data)) {
    std::fprintf(stderr, "skingen: --stage and --data are required\n");
    return 2;
  }
  const QString language = cli.value(lang);
  if (language != QLatin1String("en") && language != QLatin1String("sc")) {
    std::fprintf(stderr, "skingen: --q350-lang must be en or sc\n");
    return 2;
  }
  const QString dataDir = cli.value(data);
  skingen::KeyLayout layout;
  QString error;
  if (!skingen::readKeyLayout(dataDir + QStringLiteral("/lumera/cfg.ini"), layout, error)) {
    std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
    return 1;
  }
  const QString title = lumeraTitle(dataDir + QStringLiteral("/lumera/text.xml"),
                                    dataDir + QStringLiteral("/lumera/cfg.ini"));
  if (title.isEmpty()) {
    std::fprintf(stderr, "skingen: no tc_title in lumera/text.xml\n");
    return 1;
  }

  skingen::Output out(cli.value(stage));
  bool ok = skingen::drawLumeraSkins(out, layout, title);
  ok &= skingen::drawQ350Skins(out, language == QLatin1String("sc") ? skingen::SkinLanguage::Chinese
                                                                     : skingen::SkinLanguage::English);
  ok &= skingen::drawQ350Resources(out);
  ok &= skingen::writeQ350StartFiles(out);
  ok &= skingen::drawDesktopIcons(out);
  for (const QString& e : out.errors()) std::fprintf(stderr, "skingen: %s\n", qPrintable(e));
  if (!ok || !out.errors().isEmpty()) return 1;

  if (cli.isSet(manifest)) {
    QFile f(cli.value(manifest));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(cli.value(manifest)));
      return 1;
    }
    f.write(out.manifest().join(QLatin1Char('\n')).toUtf8());
    f.write("\n");
  }
  return 0;
}
