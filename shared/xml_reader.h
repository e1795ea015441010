// The programs' small, lenient XML reader.
//
// It reads a file in any common encoding into UTF-16 text, indexes the
// elements in one pass and lets the caller walk them by name and read their
// character data. It never fails hard: a broken document still gives the
// elements that could be indexed, and the first problem is described in the
// result text. Offsets are UTF-16 code-unit offsets into the document text.
//
// Scanning is iterative and linear in the size of the text (no recursion, so
// deep nesting cannot exhaust the stack); the element index grows in blocks
// sized from the text. Names are kept as offset and length, so comparing
// them costs no scan of the tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace shared {

enum class XmlNodeKind : std::uint8_t {
  None,
  Element,
  EndTag,
  Text,
  Whitespace,
  CData,
  ProcessingInstruction,
  Comment,
  DocumentType,
};

// One element of the index. Element 0 stands for the document itself.
// Links are element indices, 0 meaning none. The first child's `prev` points
// at the last child, so the last child is found without a walk.
struct XmlElement {
  std::uint32_t offset = 0;          // of the '<' of the start tag
  std::uint32_t length = 0;          // start tag to the end of the end tag
  std::uint32_t startTagLength = 0;  // '<' to '>' inclusive
  std::uint32_t endTagLength = 0;    // 0 for "/>" and for elements not ended
  std::uint32_t parent = 0;
  std::uint32_t firstChild = 0;
  std::uint32_t next = 0;
  std::uint32_t prev = 0;
  std::uint32_t flags = 0;
  std::uint32_t nameLength = 0;      // of the tag name after the '<'
};

constexpr std::uint32_t kXmlEmptyElement = 1;  // ended with "/>"
constexpr std::uint32_t kXmlNotEnded = 2;      // no matching end tag

// What the last file read found out.
struct XmlFileInfo {
  std::string encoding;   // "UTF-8", "UTF-16LE", a declared name, or "" (ANSI)
  unsigned codePage = 0;  // the code page the bytes were converted from
  bool byteOrderMark = false;
  std::uint64_t bytes = 0;  // size of the file
  std::string description;  // the load description, e.g. "UTF-8 length 12 to 12 wide chars "
};

class XmlDocument {
 public:
  // Files larger than this are refused; no text file of the programs comes
  // near it, and the limit keeps every offset inside 32 bits.
  static constexpr std::uint64_t kMaxFileBytes = 64u << 20;

  XmlDocument();

  // --- Loading -----------------------------------------------------------

  // Reads a whole file into UTF-16 text. `result` receives the load
  // description, or the system's error text when the file cannot be read.
  bool ReadFileAsText(const std::string& path, std::u16string& text, std::string& result);
  // The decoding half of ReadFileAsText, for bytes already in memory.
  static void DecodeFileBytes(std::string_view bytes, std::u16string& text, XmlFileInfo& info);

  // Takes a text and indexes it; true when the document is well formed
  // (exactly one root element and no problem found).
  bool ParseText(std::u16string text);
  // ReadFileAsText, then ParseText. The result text starts with the load
  // description; an unreadable file leaves an empty document whose result
  // text is the error.
  bool LoadFile(const std::string& path);

  // The result of the last load or parse: for LoadFile the load description
  // followed by the first problem, for ParseText the first problem.
  const std::u16string& ResultText() const { return result_; }
  std::string ResultTextUtf8() const;
  // The first problem of the last ParseText alone ("" when there was none).
  const std::u16string& ParseProblem() const { return problem_; }
  const XmlFileInfo& FileInfo() const { return fileInfo_; }

  // --- Walking ------------------------------------------------------------

  void Rewind();
  // Next element after the main position among the children of the parent
  // position; any element when `name` is empty.
  bool FindElement(std::u16string_view name = {});
  bool FindElement(std::string_view name);
  bool FindElement(const char* name) { return FindElement(std::string_view(name)); }
  // Next child of the main element after the child position (takes the first
  // element first when there is no main position).
  bool FindChildElement(std::u16string_view name = {});
  bool FindChildElement(std::string_view name);
  bool FindChildElement(const char* name) { return FindChildElement(std::string_view(name)); }
  // The main element becomes the parent position, the child the main one.
  bool EnterElement();

  std::u16string ElementData() const { return DataOf(main_); }
  std::u16string ChildElementData() const { return DataOf(child_); }
  std::string ElementDataUtf8() const;
  std::string ChildElementDataUtf8() const;
  std::u16string ElementName() const { return std::u16string(NameOf(main_)); }
  std::u16string ChildElementName() const { return std::u16string(NameOf(child_)); }
  // Attribute values of the main / child element, references replaced.
  bool ElementAttribute(std::string_view name, std::u16string& value) const;
  bool ChildElementAttribute(std::string_view name, std::u16string& value) const;

  std::uint32_t ParentPosition() const { return parent_; }
  std::uint32_t MainPosition() const { return main_; }
  std::uint32_t ChildPosition() const { return child_; }
  XmlNodeKind NodeKind() const { return nodeKind_; }
  std::uint32_t NodeOffset() const { return nodeOffset_; }
  std::uint32_t NodeLength() const { return nodeLength_; }

  // --- The index, by element number ---------------------------------------

  const std::u16string& Text() const { return text_; }
  const std::vector<XmlElement>& Elements() const { return elements_; }
  std::u16string_view NameOf(std::uint32_t element) const {
    if (element == 0 || element >= elements_.size()) return {};
    // The index only holds names that lie inside the text.
    const XmlElement& e = elements_[element];
    return std::u16string_view(text_.data() + e.offset + 1, e.nameLength);
  }
  std::u16string DataOf(std::uint32_t element) const;
  bool AttributeOf(std::uint32_t element, std::u16string_view name, std::u16string& value,
                   bool ignoreCase = false) const;
  // The first child of `element` named `name`, or 0.
  std::uint32_t ChildNamed(std::uint32_t element, std::u16string_view name) const;

 private:
  void clearIndex();
  void addProblem(const std::u16string& problem);
  bool problemSet() const { return !problem_.empty(); }
  void setNode(std::uint32_t element);
  std::uint32_t findSibling(std::uint32_t parent, std::uint32_t after, std::u16string_view name) const;

  std::u16string text_;
  std::vector<XmlElement> elements_;
  std::uint32_t parent_ = 0, main_ = 0, child_ = 0;
  XmlNodeKind nodeKind_ = XmlNodeKind::None;
  std::uint32_t nodeOffset_ = 0, nodeLength_ = 0;
  std::u16string problem_;
  std::u16string result_;
  XmlFileInfo fileInfo_;
};

// Replaces character references ("&#65;", "&#x41;") and entity references
// ("&amp;", "&euro;") in a piece of text. A reference is "&", at most nine
// ASCII characters and ";"; anything unknown stays as it stands.
std::u16string replaceReferences(std::u16string_view text);

}  // namespace shared
