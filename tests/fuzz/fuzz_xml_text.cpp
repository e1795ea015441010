// The XML reader on text it is handed: ParseText on any UTF-16 text, then
// every way the programs walk a document (elements by name, data,
// attributes, both text tables' lookups).
#include <cstdint>
#include <string>

#include "shared/text_table.h"
#include "shared/xml_reader.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void walk(shared::XmlDocument& doc) {
  const auto& elements = doc.Elements();
  std::u16string value;
  for (std::uint32_t e = 0; e < elements.size() && e < 4096; ++e) {
    const shared::XmlElement& x = elements[e];
    // The index only ever points into the text.
    if (e != 0 && (std::uint64_t{x.offset} + x.length > doc.Text().size() || x.startTagLength > x.length ||
                   x.parent >= elements.size() || x.next >= elements.size() || x.firstChild >= elements.size()))
      fuzzsupport::fail("element index outside the text");
    doc.NameOf(e);
    doc.DataOf(e);
    doc.AttributeOf(e, u"name", value, e % 2 == 0);
    doc.ChildNamed(e, u"config");
  }
  doc.Rewind();
  int steps = 0;
  while (doc.FindElement() && ++steps < 64) {
    doc.ElementData();
    doc.ElementAttribute("name", value);
    while (doc.FindChildElement() && ++steps < 64) {
      doc.ChildElementName();
      doc.ChildElementData();
      doc.ChildElementAttribute("id", value);
    }
    if (!doc.EnterElement()) break;
  }
  doc.ResultTextUtf8();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::scratch();
  std::u16string text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));

  shared::XmlDocument doc;
  const bool wellFormed = doc.ParseText(text);
  if (wellFormed && !doc.ParseProblem().empty()) fuzzsupport::fail("well formed, yet a problem was noted");
  if (doc.Text() != text) fuzzsupport::fail("the document text differs from the text parsed");
  walk(doc);

  shared::TextTable lumera;
  lumera.FillTexts(doc);
  shared::TextTable language;
  language.FillLanguageTexts(doc);
  shared::replaceReferences(text);
  return 0;
}
