// The XML reader on file bytes: the encoding detection and conversion of
// ReadFileAsText (through a real file and through DecodeFileBytes, which must
// agree), the parse of what they give, and both text tables loading the file.
#include <cstdint>
#include <string>

#include "shared/text_table.h"
#include "shared/xml_reader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzsupport::scratch() + "/text.xml";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!fuzzsupport::writeBytes(path, bytes)) fuzzsupport::fail("cannot write the input file");

  std::u16string fromMemory;
  shared::XmlFileInfo info;
  shared::XmlDocument::DecodeFileBytes(bytes, fromMemory, info);

  shared::XmlDocument doc;
  std::u16string fromFile;
  std::string result;
  if (!doc.ReadFileAsText(path, fromFile, result)) fuzzsupport::fail("an existing file could not be read");
  if (fromFile != fromMemory) fuzzsupport::fail("file and memory decoding differ");
  if (doc.FileInfo().bytes != size) fuzzsupport::fail("wrong file size noted");

  doc.ParseText(fromFile);
  doc.Rewind();
  for (int i = 0; i < 32 && doc.FindElement(); ++i) doc.ElementData();

  shared::XmlDocument loaded;
  loaded.LoadFile(path);
  loaded.ResultTextUtf8();

  shared::TextTable texts;
  texts.LoadTexts(path);
  texts.TextUtf8("tc_title");
  shared::TextTable language;
  language.LoadLanguageTexts(path);
  language.HintText(48);
  return 0;
}
