// Bad, deep and big input: the reader must stay consistent, finish in
// linear time and never read outside the text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "shared/xml_reader.h"

using shared::XmlDocument;

namespace {

// Every element lies inside the text and inside its parent, and every
// element is reached exactly once through the child and sibling links, with
// the first child's prev naming the last child.
void expectConsistentIndex(const XmlDocument& doc) {
  const auto& el = doc.Elements();
  const std::size_t size = doc.Text().size();
  std::size_t reached = 0;
  for (std::uint32_t p = 0; p < el.size(); ++p) {
    std::uint32_t last = 0;
    for (std::uint32_t c = el[p].firstChild; c != 0; c = el[c].next) {
      ASSERT_LT(c, el.size());
      ASSERT_GT(c, p);  // children come after their parent
      ASSERT_EQ(el[c].parent, p);
      if (last != 0) {
        ASSERT_EQ(el[c].prev, last);
        ASSERT_LT(el[last].offset + el[last].length, el[c].offset + 1u);
      }
      last = c;
      ++reached;
    }
    if (last != 0) {
      ASSERT_EQ(el[el[p].firstChild].prev, last);
    }
    if (p == 0) continue;
    ASSERT_EQ(doc.Text()[el[p].offset], u'<');
    ASSERT_LE(std::size_t{el[p].offset} + el[p].length, size);
    ASSERT_LE(el[p].startTagLength + el[p].endTagLength, el[p].length);
    ASSERT_GE(el[p].offset, el[el[p].parent].offset);
    ASSERT_LE(el[p].offset + el[p].length, el[el[p].parent].offset + el[el[p].parent].length);
  }
  ASSERT_EQ(reached, el.size() - 1);
}

std::u16string repeat(std::u16string_view piece, std::size_t n) {
  std::u16string out;
  out.reserve(piece.size() * n);
  for (std::size_t i = 0; i < n; ++i) out += piece;
  return out;
}

constexpr std::size_t kDeep = 100000;

TEST(XmlRobustness, HundredThousandLevelsDeep) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ParseText(repeat(u"<a>", kDeep) + u"x" + repeat(u"</a>", kDeep)));
  expectConsistentIndex(doc);
  ASSERT_EQ(doc.Elements().size(), kDeep + 1);
  EXPECT_EQ(doc.DataOf(kDeep), u"x");
  EXPECT_EQ(doc.DataOf(1), u"");
  ASSERT_TRUE(doc.FindElement());
  for (std::size_t i = 1; i < kDeep; ++i) ASSERT_TRUE(doc.FindChildElement("a") && doc.EnterElement());
  EXPECT_EQ(doc.ElementData(), u"x");
}

TEST(XmlRobustness, DeepDocumentsBrokenInEveryWayStayLinear) {
  XmlDocument doc;
  // Never closed.
  EXPECT_FALSE(doc.ParseText(repeat(u"<a>", kDeep)));
  EXPECT_EQ(doc.ResultText(), u"Element 'a' at offset 299997 not ended");
  expectConsistentIndex(doc);
  // End tags that match nothing open, each looked for through all levels.
  EXPECT_FALSE(doc.ParseText(repeat(u"<a>", kDeep) + repeat(u"</b>", kDeep)));
  EXPECT_EQ(doc.ResultText(), u"No start tag for end tag 'b' at offset 300000");
  // Alternating names, closed from the outside in.
  EXPECT_FALSE(doc.ParseText(repeat(u"<a><b>", kDeep / 2) + repeat(u"</a>", kDeep / 2)));
  EXPECT_EQ(doc.ResultText(), u"End tag 'a' at offset 300000 does not match start tag 'b' at offset 299997");
  expectConsistentIndex(doc);
  EXPECT_EQ(doc.Elements()[1].flags, 0u);
  // Deep unterminated comment, CDATA and tag at the end.
  for (const char16_t* tail : {u"<!--", u"<![CDATA[", u"<a b='", u"<?", u"</", u"<!D"}) {
    EXPECT_FALSE(doc.ParseText(repeat(u"<a>", kDeep) + tail));
    expectConsistentIndex(doc);
  }
}

TEST(XmlRobustness, BigDocument) {
  // About 7 MB of UTF-16 text, 100,000 elements with data and attributes.
  std::u16string text = u"<list>";
  for (int i = 0; i < 100000; ++i)
    text += u"<item id='" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
            u"'>text &amp; more <!-- note --></item>\n";
  text += u"</list>";
  XmlDocument doc;
  ASSERT_TRUE(doc.ParseText(text));
  ASSERT_EQ(doc.Elements().size(), 100002u);
  std::size_t found = 0;
  while (doc.FindChildElement("item")) ++found;
  EXPECT_EQ(found, 100000u);
  EXPECT_EQ(doc.ChildElementData(), u"text & more ");
  std::u16string id;
  EXPECT_TRUE(doc.ChildElementAttribute("id", id));
  EXPECT_EQ(id, u"9");
}

// Small fixed-seed generator: the same bytes on every run.
struct Lcg {
  std::uint32_t state;
  std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
};

TEST(XmlRobustness, GarbageAndMarkupSoupKeepTheIndexConsistent) {
  static const char* const pieces[] = {"<",  ">",  "/",   "</", "<a", "<b ", "a",   "='",  "\"",  "'",  "&",
                                       ";",  "&#", "x",   "<!", "--", "-->", "<?",  "?>",  "[",   "]]>", "<![CDATA[",
                                       "\0", "\xFF", "\xC3", "\xFE\xFF", " ", "\n", "<!D", "&amp;", "/>", "<a>", "</a>"};
  Lcg rng{12345};
  for (int run = 0; run < 300; ++run) {
    std::string bytes;
    const int count = static_cast<int>(rng.next() % 400);
    for (int i = 0; i < count; ++i) {
      const char* p = pieces[rng.next() % (sizeof pieces / sizeof pieces[0])];
      bytes += (*p == 0) ? std::string(1, '\0') : std::string(p);
    }
    std::u16string text;
    shared::XmlFileInfo info;
    XmlDocument::DecodeFileBytes(bytes, text, info);
    XmlDocument doc;
    doc.ParseText(text);
    expectConsistentIndex(doc);
    for (std::uint32_t e = 0; e < doc.Elements().size(); ++e) {
      std::u16string value;
      doc.DataOf(e);
      doc.AttributeOf(e, u"a", value);
    }
    // Walk everything reachable.
    for (int depth = 0; depth < 50 && doc.FindChildElement(); ++depth) doc.EnterElement();
  }
}

TEST(XmlRobustness, EveryProperPrefixOfADocumentIsReportedAndConsistent) {
  const std::u16string full =
      u"<?xml version='1.0'?><!DOCTYPE r><r a='1' b=\"2\"><x>t&amp;u</x><!-- c --><![CDATA[d]]><?p q?><e/></r>";
  XmlDocument doc;
  ASSERT_TRUE(doc.ParseText(full));
  for (std::size_t n = 0; n < full.size(); ++n) {
    EXPECT_FALSE(doc.ParseText(full.substr(0, n))) << n;
    EXPECT_FALSE(doc.ResultText().empty()) << n;
    expectConsistentIndex(doc);
  }
}

}  // namespace

namespace {

std::uint64_t fnv(std::uint64_t h, const void* p, std::size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i) {
    h ^= b[i];
    h *= 1099511628211ull;
  }
  return h;
}

// The digest tests/shared/data/xml_results.txt records: every element's
// index fields, name and character data, then the result text.
std::uint64_t digestOf(const XmlDocument& d) {
  std::uint64_t h = 1469598103934665603ull;
  const auto& el = d.Elements();
  for (std::uint32_t e = 0; e < el.size(); ++e) {
    const shared::XmlElement& x = el[e];
    const std::uint32_t f[9] = {x.offset, x.length, x.startTagLength, x.endTagLength, x.parent,
                                x.firstChild, x.next, x.prev, x.flags};
    h = fnv(h, f, sizeof f);
    const std::u16string_view n = d.NameOf(e);
    h = fnv(h, n.data(), n.size() * 2);
    const std::u16string t = d.DataOf(e);
    h = fnv(h, t.data(), t.size() * 2);
  }
  const std::u16string& r = d.ResultText();
  return fnv(h, r.data(), r.size() * 2);
}

}  // namespace

// Speed work on the reader must not change what it reads: on every document
// of the fuzz corpora (most of them broken) the index, names, data and
// problem text stay what the reader gave before.
TEST(XmlRobustness, CorpusResultsStayAsRecorded) {
  const std::string source = std::string(std::getenv("KAVRO_TEST_SOURCE_DIR"));
  std::ifstream recorded(source + "/tests/shared/data/xml_results.txt");
  ASSERT_TRUE(recorded.good());
  std::string line;
  std::size_t checked = 0;
  while (std::getline(recorded, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string path, digest;
    std::size_t count = 0;
    ASSERT_TRUE(static_cast<bool>(fields >> path >> count >> digest)) << line;
    XmlDocument doc;
    doc.LoadFile(source + "/tests/fuzz/" + path);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digestOf(doc)));
    EXPECT_EQ(doc.Elements().size(), count) << path;
    EXPECT_EQ(hex, digest) << path << ": " << doc.ResultTextUtf8();
    ++checked;
  }
  EXPECT_EQ(checked, 1071u);
}
