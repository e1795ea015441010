// Indexing, problem texts, the element walk and character data.
#include <gtest/gtest.h>

#include "shared/xml_reader.h"

using shared::XmlDocument;
using shared::XmlElement;

namespace {

struct ProblemCase {
  std::u16string text;
  std::u16string problem;
};

TEST(XmlParse, ProblemTexts) {
  const ProblemCase cases[] = {
      {u"", u"Empty document"},
      {u"<a>x</a>", u""},
      {u"<a>< b</a>", u"Incorrect tag name character at offset 4"},
      {u"<a>1<2</a>", u"Incorrect tag name character at offset 5"},
      {u"<a><b x='>'", u"Element tag unterminated at offset 3"},
      {u"<a></a", u"Element end tag unterminated at offset 3"},
      {u"<a><![CDATA[x</a>", u"CDATA Section unterminated at offset 3"},
      {u"<a><?pi x</a>", u"Processing instruction unterminated at offset 3"},
      {u"<a><!-- x</a> -->-", u"Element 'a' at offset 0 not ended"},
      {u"<a><!-- x</a>", u"Comment unterminated at offset 3"},
      {u"<!DOCTYPE a [<!ENTITY x 'y'>", u"Doctype unterminated at offset 0"},
      {u"<a>x<", u"tag unterminated at offset 4"},
      {u"<a>x<!", u"! tag unterminated at offset 4"},
      {u"<a>x<!ELEMENT", u"! tag unterminated at offset 4"},
      {u"<a>x<!-x", u"comment tag unterminated at offset 4"},
      {u"<a><b></a>", u"End tag 'a' at offset 6 does not match start tag 'b' at offset 3"},
      {u"<a></b></a>", u"No start tag for end tag 'b' at offset 3"},
      {u"<a><b></b>", u"Element 'a' at offset 0 not ended"},
      {u"<a><b><c>", u"Element 'c' at offset 6 not ended"},
      {u"<!-- only a comment -->", u"No root element"},
      {u"text", u"No root element"},
      {u"<a/><b/>", u"Root element has sibling"},
      // Only the first problem is kept.
      {u"<a>< </b></a><c/>", u"Incorrect tag name character at offset 4"},
      // Offsets count UTF-16 units: the emoji before <b> is two of them.
      {u"<a>\U0001F600<b></a>", u"End tag 'a' at offset 8 does not match start tag 'b' at offset 5"},
      // Well formed, with every kind of node around and inside the root.
      {u"<?xml version='1.0'?><!DOCTYPE r [<!ENTITY x 'y'>]><!-- c --><r a=\"1>2\" b='/>'><![CDATA[<x>]]><?p?><e/></r>\n",
       u""},
  };
  for (const ProblemCase& c : cases) {
    XmlDocument doc;
    const bool wellFormed = doc.ParseText(c.text);
    EXPECT_EQ(doc.ResultText(), c.problem) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(wellFormed, c.problem.empty());
  }
}

TEST(XmlParse, IndexRecordsAndLinks) {
  XmlDocument doc;
  //                 0         1         2         3
  //                 0123456789012345678901234567890123456
  ASSERT_TRUE(doc.ParseText(u"<r><a/><b x='1'>t</b ><c></c></r>"));
  const auto& el = doc.Elements();
  ASSERT_EQ(el.size(), 5u);
  EXPECT_EQ(el[0].firstChild, 1u);
  EXPECT_EQ(el[0].length, 33u);
  const XmlElement& r = el[1];
  EXPECT_EQ(r.offset, 0u);
  EXPECT_EQ(r.length, 33u);
  EXPECT_EQ(r.startTagLength, 3u);
  EXPECT_EQ(r.firstChild, 2u);
  const XmlElement& a = el[2];
  EXPECT_EQ(a.flags, shared::kXmlEmptyElement);
  EXPECT_EQ(a.length, 4u);
  EXPECT_EQ(a.prev, 4u);  // the first child's prev is the last child
  EXPECT_EQ(a.next, 3u);
  const XmlElement& b = el[3];
  EXPECT_EQ(b.offset, 7u);
  EXPECT_EQ(b.startTagLength, 9u);
  EXPECT_EQ(b.length, 15u);
  EXPECT_EQ(b.endTagLength, 5u);
  EXPECT_EQ(b.prev, 2u);
  EXPECT_EQ(b.next, 4u);
  EXPECT_EQ(el[4].next, 0u);
  for (std::uint32_t i = 2; i <= 4; ++i) EXPECT_EQ(el[i].parent, 1u);
  EXPECT_EQ(doc.NameOf(3), u"b");
  EXPECT_EQ(doc.DataOf(3), u"t");
}

TEST(XmlParse, MismatchedEndTagClosesTheInnerElementsAsNotEnded) {
  XmlDocument doc;
  EXPECT_FALSE(doc.ParseText(u"<r><a><b>x</r><c/>"));
  const auto& el = doc.Elements();
  ASSERT_EQ(el.size(), 5u);
  EXPECT_EQ(el[1].flags, 0u);  // r is closed by its own end tag
  EXPECT_EQ(el[1].length, 14u);
  EXPECT_EQ(el[2].flags, shared::kXmlNotEnded);
  EXPECT_EQ(el[3].flags, shared::kXmlNotEnded);
  EXPECT_EQ(el[3].length, 4u);  // up to the end tag that closed it
  EXPECT_EQ(doc.DataOf(3), u"x");
  EXPECT_EQ(el[4].parent, 0u);  // c is a second root
  EXPECT_EQ(doc.ResultText(), u"End tag 'r' at offset 10 does not match start tag 'b' at offset 6");
}

// Where a start tag ends: a quote delimits a value only when an '=' (blanks
// allowed between) comes before it, so a '>' inside a value does not end the
// tag while a stray quote does not swallow the document.
TEST(XmlParse, StartTagEndsAtTheFirstGreaterThanOutsideValues) {
  const std::u16string longValue(30, u'v');
  struct TagCase {
    std::u16string tag;  // the start tag; "<x/></r>" follows it
    std::size_t length;  // of the start tag as indexed
  };
  const TagCase cases[] = {
      {u"<a b=\"x>y\">", 11},
      {u"<a b = 'x>y'>", 13},
      {u"<a b=\n\t\"x>y\">", 13},
      {u"<a \"x>", 6},             // a stray quote is a character
      {u"<a b=\"x\"\"y>", 11},     // the second quote follows a value, not '='
      {u"<a= \"x>", 7},            // an '=' inside the name does not count
      {u"<a b=c \"d>", 10},
      {u"<a b=\"x\" c='>' d=\"\">", 20},
      {u"<a b=\"" + longValue + u">\">", 39},  // value and '>' beyond a block of eight units
      {u"<a b='" + longValue + u"' c=" + longValue + u">", 71},
  };
  for (const TagCase& c : cases) {
    XmlDocument doc;
    doc.ParseText(u"<r>" + c.tag + u"<x/></r>");
    const std::string where(c.tag.begin(), c.tag.end());
    ASSERT_GE(doc.Elements().size(), 3u) << where;
    EXPECT_EQ(doc.Elements()[2].startTagLength, c.length) << where;
    EXPECT_EQ(doc.NameOf(2).substr(0, 1), u"a") << where;
  }
  XmlDocument open;
  EXPECT_FALSE(open.ParseText(u"<r><a b=\"" + longValue + u"></r>"));
  EXPECT_EQ(open.ResultText(), u"Element tag unterminated at offset 3");
}

// Texts, comments and values of every length up to a few blocks of eight
// units: the searches that look at eight units at once must find the unit
// in the block, in the tail after the last whole block, and at either end.
TEST(XmlParse, RunsOfEveryLengthEndWhereTheyEnd) {
  for (std::size_t n = 0; n <= 40; ++n) {
    const std::u16string run(n, u'x'), blanks(n, u' ');
    XmlDocument doc;
    ASSERT_TRUE(doc.ParseText(u"<r>" + run + u"<!--" + run + u"--><c a='" + run + u"'>" + blanks + u"</c>" + run + u"</r>"))
        << n;
    ASSERT_EQ(doc.Elements().size(), 3u) << n;
    EXPECT_EQ(doc.DataOf(1), run + run) << n;
    EXPECT_EQ(doc.DataOf(2), blanks) << n;
    std::u16string value;
    EXPECT_TRUE(doc.AttributeOf(2, u"a", value));
    EXPECT_EQ(value, run);
    // The same runs cut short: each search runs into the end of the text.
    XmlDocument cut;
    EXPECT_FALSE(cut.ParseText(u"<r><!--" + run));
    EXPECT_EQ(cut.ResultText(), u"Comment unterminated at offset 3");
    EXPECT_FALSE(cut.ParseText(u"<r a='" + run));
    EXPECT_EQ(cut.ResultText(), u"Element tag unterminated at offset 0");
  }
}

TEST(XmlWalk, FindEnterAndPositions) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ParseText(u"<root><x>1</x><item>a</item><x>2</x><item>b<sub>s</sub></item></root>"));
  EXPECT_FALSE(doc.EnterElement());  // nothing to enter yet
  // Right after loading, FindChildElement takes the root by itself.
  ASSERT_TRUE(doc.FindChildElement("item"));
  EXPECT_EQ(doc.ElementName(), u"root");
  EXPECT_EQ(doc.ChildElementData(), u"a");
  EXPECT_EQ(doc.NodeKind(), shared::XmlNodeKind::Element);
  EXPECT_EQ(doc.NodeOffset(), 14u);
  ASSERT_TRUE(doc.FindChildElement("item"));
  EXPECT_EQ(doc.ChildElementData(), u"b");
  EXPECT_FALSE(doc.FindChildElement("item"));
  EXPECT_EQ(doc.ChildElementData(), u"b");  // a failed search keeps the position

  ASSERT_TRUE(doc.EnterElement());  // root is the parent, the second item the main element
  EXPECT_EQ(doc.ParentPosition(), 1u);
  EXPECT_EQ(doc.ElementName(), u"item");
  EXPECT_EQ(doc.ChildPosition(), 0u);
  EXPECT_FALSE(doc.FindElement("item"));  // nothing after it
  ASSERT_TRUE(doc.FindChildElement());
  EXPECT_EQ(doc.ChildElementName(), u"sub");

  doc.Rewind();
  EXPECT_EQ(doc.MainPosition(), 0u);
  ASSERT_TRUE(doc.FindElement("root") && doc.EnterElement());
  EXPECT_EQ(doc.MainPosition(), 0u);  // no child had been found
  ASSERT_TRUE(doc.FindElement(u"x"));
  EXPECT_EQ(doc.ElementData(), u"1");
  ASSERT_TRUE(doc.FindElement(u"x"));
  EXPECT_EQ(doc.ElementData(), u"2");
  ASSERT_TRUE(doc.FindElement());  // any: the item after it
  EXPECT_EQ(doc.ElementName(), u"item");
  EXPECT_FALSE(doc.FindElement());
}

TEST(XmlWalk, RootWithSiblingStillGivesTheFirstRootsChildren) {
  XmlDocument doc;
  EXPECT_FALSE(doc.ParseText(u"<a><config><k>v</k></config></a><b><k>w</k></b>"));
  EXPECT_EQ(doc.ResultText(), u"Root element has sibling");
  ASSERT_TRUE(doc.FindChildElement("config"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindChildElement("k"));
  EXPECT_EQ(doc.ChildElementDataUtf8(), "v");
  doc.Rewind();
  ASSERT_TRUE(doc.FindElement() && doc.FindElement());
  EXPECT_EQ(doc.ElementName(), u"b");
}

TEST(XmlData, ReferencesAndEntities) {
  const ProblemCase cases[] = {
      {u"&#x41;&#65;&amp;", u"AA&"},
      {u"&#X41;&AMP;&Euro;&apos;&nbsp;", u"A&\u20AC'\u00A0"},
      {u"&#x1F3AE;&#128512;", u"\U0001F3AE\U0001F600"},
      {u"&bogus; fish & chips &amp", u"&bogus; fish & chips &amp"},
      {u"&#0;&#xD800;&#x110000;&#12a;&#;&#x;&;", u"&#0;&#xD800;&#x110000;&#12a;&#;&#x;&;"},
      {u"&thetasyms;&123456789;&1234567890;", u"&thetasyms;&123456789;&1234567890;"},
      {u"&\u00E9;&a&amp;", u"&\u00E9;&a&"},
      {u"&#1114111;", u"\U0010FFFF"},
  };
  for (const ProblemCase& c : cases) EXPECT_EQ(shared::replaceReferences(c.text), c.problem);
}

TEST(XmlData, CharacterDataOfMixedAndSpecialContent) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ParseText(
      u"<r>"
      u"<mixed>x<b>inner</b>y&amp;<!--c-->z<![CDATA[<raw>&amp;]]>  <c/>\n<?p?></mixed>"
      u"<blank>  \t</blank>"
      u"<empty/>"
      u"<none></none>"
      u"<attr k=\"v&amp;w\" q='x' bare=yes/>"
      u"</r>"));
  ASSERT_TRUE(doc.FindChildElement("mixed"));
  EXPECT_EQ(doc.ChildElementData(), u"xy&z<raw>&amp;");
  ASSERT_TRUE(doc.FindChildElement("blank"));
  EXPECT_EQ(doc.ChildElementData(), u"  \t");
  ASSERT_TRUE(doc.FindChildElement("empty"));
  EXPECT_EQ(doc.ChildElementData(), u"");
  ASSERT_TRUE(doc.FindChildElement("none"));
  EXPECT_EQ(doc.ChildElementData(), u"");
  ASSERT_TRUE(doc.FindChildElement("attr"));
  std::u16string v;
  EXPECT_TRUE(doc.ChildElementAttribute("k", v));
  EXPECT_EQ(v, u"v&w");
  EXPECT_TRUE(doc.ChildElementAttribute("bare", v));
  EXPECT_EQ(v, u"yes");
  EXPECT_FALSE(doc.ChildElementAttribute("K", v));
  EXPECT_FALSE(doc.ChildElementAttribute("x", v));  // a value is not a name

  // A '<' that opens nothing is reported, and read as text.
  EXPECT_FALSE(doc.ParseText(u"<lt>a < b<i/>c</lt>"));
  ASSERT_TRUE(doc.FindElement("lt"));
  EXPECT_EQ(doc.ElementData(), u"a < bc");
}

}  // namespace
