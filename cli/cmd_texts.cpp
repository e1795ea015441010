// kavroctl texts: what a text file (Lumera's text.xml) or a language file
// (Q350Config's Language/*.xml) gives the program, key by key, so that a
// translator sees how the file was read and which texts come out empty.
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <cstdio>
#include <vector>

#include "cli/command.h"
#include "platform/text.h"
#include "shared/text_keys.h"
#include "shared/text_table.h"

namespace {

// One line per text: backslash, tab and line breaks written as escapes.
std::string escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }

int runTexts(const cli::Args& args) {
  if (args.positional.size() != 1) return cli::fail("usage: kavroctl texts FILE [--keys lumera|q350] [--json]", 2);
  const std::string keySet = args.option("keys", "lumera");
  if (keySet != "lumera" && keySet != "q350")
    return cli::fail("unknown key set '" + keySet + "' (use --keys lumera or --keys q350)", 2);
  const bool lumera = keySet == "lumera";
  const std::string& path = args.positional[0];

  shared::XmlDocument document;
  std::u16string text;
  std::string load;
  const bool read = document.ReadFileAsText(path, text, load);
  std::string parse;
  shared::TextTable table;
  std::vector<std::string_view> keys;  // none when the file was not read
  if (read) {
    document.ParseText(std::move(text));
    parse = platform::toUtf8(document.ParseProblem());
    if (parse.empty()) parse = "OK";
    if (lumera) {
      table.FillTexts(document);
      keys.assign(shared::kLumeraTextKeys.begin(), shared::kLumeraTextKeys.end());
    } else {
      table.FillLanguageTexts(document);
      keys.assign(shared::kQ350TextKeys.begin(), shared::kQ350TextKeys.end());
    }
  }

  if (args.flag("json")) {
    QJsonObject texts;
    for (const std::string_view key : keys) texts.insert(qs(std::string(key)), qs(table.TextUtf8(key)));
    QJsonObject root;
    root.insert("load", qs(load));
    root.insert("parse", qs(parse));
    root.insert("texts", texts);
    cli::printJson(QJsonDocument(root));
  } else {
    std::printf("load: %s\n", load.c_str());
    if (read) {
      std::printf("parse: %s\n", parse.c_str());
      for (const std::string_view key : keys)
        std::printf("%.*s\t%s\n", static_cast<int>(key.size()), key.data(), escaped(table.TextUtf8(key)).c_str());
    }
  }
  std::fflush(stdout);
  // The program would run with every text empty: make that an error a
  // script notices, beside the reason on the load line.
  if (!read) return cli::fail("cannot read " + path + ": " + load, 1);
  return 0;
}

}  // namespace

KAVRO_COMMAND({"texts"}, "FILE [--keys lumera|q350] [--json]",
              "show how a text or language file is read and the text of every key, in load order", {"keys"},
              {"json"}, &runTexts)
