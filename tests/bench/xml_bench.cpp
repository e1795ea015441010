// The XML reader against pugixml and tinyxml2 on the same files: load +
// parse, and load + the text table's lookups (every "tc_" key of Lumera's
// table on text.xml, every "str_" key of Q350Config's on a language file).
// Each library is used as a program would use it: our reader gives UTF-16
// texts, the peers UTF-8 ones; every looked-up text is copied out.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "shared/text_keys.h"
#include "shared/text_table.h"
#include "shared/xml_reader.h"
#include "tests/bench/bench_util.h"

namespace bench {

namespace {

struct Input {
  std::string name;
  std::string path;
  bool utf16 = false;
};

// A deterministic document of about 1 MB: items with attributes, text,
// entity references and comments, the mix the programs' files have.
std::string generatedDocument() {
  std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n";
  for (int i = 0; s.size() < (1u << 20); ++i) {
    s += "  <item id=\"" + std::to_string(i) + "\" name=\"entry &amp; " + std::to_string(i * 7) + "\">";
    s += "<name>Text number " + std::to_string(i) + " &lt;with&gt; references</name>";
    s += "<value>" + std::to_string(i * 31) + "</value><!-- note " + std::to_string(i) + " -->";
    s += "<group><flag on=\"1\"/><flag on=\"0\"/></group></item>\n";
  }
  return s + "</root>\n";
}

std::string utf16leWithMark(const std::string& utf8) {
  const std::u16string text = platform::toUtf16(utf8);
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

std::vector<Input> inputs() {
  const std::string data = dataDir();
  std::vector<Input> in = {
      {"text.xml", data + "/lumera/text.xml"},
      {"Language-sc.xml", data + "/q350/Language/sc.xml"},
      {"generated-1MB.xml", scratch() + "/generated.xml"},
      {"Language-tw-utf16.xml", scratch() + "/tw-utf16.xml", true},
  };
  writeFile(in[2].path, generatedDocument());
  // The language file as a UTF-16 file with its byte-order mark (its
  // declaration is changed to match).
  std::string tw = readFile(data + "/q350/Language/tw.xml");
  const std::size_t decl = tw.find("utf-8");
  if (decl != std::string::npos) tw.replace(decl, 5, "UTF-16");
  writeFile(in[3].path, utf16leWithMark(tw));
  return in;
}

// ---- Load + parse ----------------------------------------------------------

void loadKavro(benchmark::State& state, const Input& in) {
  for (auto _ : state) {
    shared::XmlDocument doc;
    const bool ok = doc.LoadFile(in.path);
    benchmark::DoNotOptimize(ok);
    if (doc.Elements().size() < 2) state.SkipWithError("nothing read");
  }
}

void loadPugi(benchmark::State& state, const Input& in) {
  for (auto _ : state) {
    pugi::xml_document doc;
    const pugi::xml_parse_result r = doc.load_file(in.path.c_str());
    if (!r) state.SkipWithError(r.description());
    benchmark::DoNotOptimize(doc.first_child());
  }
}

void loadTiny(benchmark::State& state, const Input& in) {
  if (in.utf16) {
    state.SkipWithError("tinyxml2 reads UTF-8 only");
    return;
  }
  for (auto _ : state) {
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(in.path.c_str()) != tinyxml2::XML_SUCCESS) state.SkipWithError(doc.ErrorStr());
    benchmark::DoNotOptimize(doc.RootElement());
  }
}

// ---- Load + lookups ---------------------------------------------------------

template <std::size_t N>
std::vector<std::string> keysOf(const std::array<std::string_view, N>& keys) {
  return std::vector<std::string>(keys.begin(), keys.end());
}

// Lumera's rule: "config" under the root, then a "config" nested in it, and
// so on. Q350Config's rule: the first "config" (document order) having the
// key. The shipped files have one "config", where both rules agree.
void lookupsKavro(benchmark::State& state, const std::string& path, bool lumera) {
  std::size_t found = 0;
  for (auto _ : state) {
    shared::TextTable table;
    if (lumera)
      table.LoadTexts(path);
    else
      table.LoadLanguageTexts(path);
    benchmark::DoNotOptimize(table);
    found = 0;
    for (const auto& key : lumera ? keysOf(shared::kLumeraTextKeys) : keysOf(shared::kQ350TextKeys))
      found += !table.Text(key).empty();
  }
  state.counters["texts"] = static_cast<double>(found);
  state.counters["keys"] =
      static_cast<double>(lumera ? shared::kLumeraTextKeys.size() : shared::kQ350TextKeys.size());
}

void lookupsPugi(benchmark::State& state, const std::string& path, const std::vector<std::string>& keys) {
  std::size_t found = 0;
  for (auto _ : state) {
    pugi::xml_document doc;
    doc.load_file(path.c_str());
    std::map<std::string, std::string, std::less<>> texts;
    const pugi::xml_node root = doc.document_element();
    for (const std::string& key : keys) {
      for (pugi::xml_node config = root.child("config"); config; config = config.child("config")) {
        if (const pugi::xml_node n = config.child(key.c_str())) {
          texts.emplace(key, n.child_value());
          break;
        }
      }
    }
    found = texts.size();
    benchmark::DoNotOptimize(texts);
  }
  state.counters["texts"] = static_cast<double>(found);
}

void lookupsTiny(benchmark::State& state, const std::string& path, const std::vector<std::string>& keys) {
  std::size_t found = 0;
  for (auto _ : state) {
    tinyxml2::XMLDocument doc;
    doc.LoadFile(path.c_str());
    std::map<std::string, std::string, std::less<>> texts;
    const tinyxml2::XMLElement* root = doc.RootElement();
    for (const std::string& key : keys) {
      for (const tinyxml2::XMLElement* config = root ? root->FirstChildElement("config") : nullptr; config;
           config = config->FirstChildElement("config")) {
        if (const tinyxml2::XMLElement* n = config->FirstChildElement(key.c_str())) {
          texts.emplace(key, n->GetText() ? n->GetText() : "");
          break;
        }
      }
    }
    found = texts.size();
    benchmark::DoNotOptimize(texts);
  }
  state.counters["texts"] = static_cast<double>(found);
}

}  // namespace

void registerXmlBenchmarks() {
  for (const Input& in : inputs()) {
    benchmark::RegisterBenchmark(("xml_load/" + in.name + "/kavro").c_str(), loadKavro, in);
    benchmark::RegisterBenchmark(("xml_load/" + in.name + "/pugixml").c_str(), loadPugi, in);
    benchmark::RegisterBenchmark(("xml_load/" + in.name + "/tinyxml2").c_str(), loadTiny, in);
  }
  const std::string lumera = dataDir() + "/lumera/text.xml";
  const std::string language = dataDir() + "/q350/Language/sc.xml";
  const auto lumeraKeys = keysOf(shared::kLumeraTextKeys);
  const auto languageKeys = keysOf(shared::kQ350TextKeys);
  benchmark::RegisterBenchmark("xml_lookups/text.xml/kavro", lookupsKavro, lumera, true);
  benchmark::RegisterBenchmark("xml_lookups/text.xml/pugixml", lookupsPugi, lumera, lumeraKeys);
  benchmark::RegisterBenchmark("xml_lookups/text.xml/tinyxml2", lookupsTiny, lumera, lumeraKeys);
  benchmark::RegisterBenchmark("xml_lookups/Language-sc.xml/kavro", lookupsKavro, language, false);
  benchmark::RegisterBenchmark("xml_lookups/Language-sc.xml/pugixml", lookupsPugi, language, languageKeys);
  benchmark::RegisterBenchmark("xml_lookups/Language-sc.xml/tinyxml2", lookupsTiny, language, languageKeys);
}

}  // namespace bench
