#include "shared/xml_tables.h"

#include <array>

namespace shared {

namespace {

struct NameValue {
  const char* name;
  std::uint32_t value;
};

constexpr int compareNames(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

// The tables are written in the order of their sources (registry order for
// the character sets, DTD order for the entities) and sorted while compiling,
// so that they can be checked against those sources by eye and still be
// searched by halving.
template <std::size_t N>
constexpr std::array<NameValue, N> sortedByName(std::array<NameValue, N> a) {
  for (std::size_t i = 1; i < N; ++i) {
    const NameValue v = a[i];
    std::size_t j = i;
    for (; j > 0 && compareNames(a[j - 1].name, v.name) > 0; --j) a[j] = a[j - 1];
    a[j] = v;
  }
  return a;
}

template <std::size_t N>
constexpr bool strictlyAscending(const std::array<NameValue, N>& a) {
  for (std::size_t i = 1; i < N; ++i)
    if (compareNames(a[i - 1].name, a[i].name) >= 0) return false;
  return true;
}

template <std::size_t N>
constexpr bool allLowerCase(const std::array<NameValue, N>& a) {
  for (const NameValue& e : a)
    for (const char* p = e.name; *p; ++p)
      if (*p >= 'A' && *p <= 'Z') return false;
  return true;
}

template <std::size_t N>
bool find(const std::array<NameValue, N>& table, std::string_view key, std::uint32_t& value) {
  std::size_t lo = 0, hi = N;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    const std::string_view name(table[mid].name);
    const int c = name.compare(key);
    if (c == 0) {
      value = table[mid].value;
      return true;
    }
    if (c < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return false;
}

// Character-set names of the IANA registry with their usual Windows and .NET
// aliases, in lower case, each with its Windows code page. Some rows are
// surprising on purpose: "iso_8859-8-i" is the logical-order Hebrew page 1255
// while "iso-8859-8-i" is 38598, and "gb2312" means the GBK page 936.
constexpr auto kCharsets = sortedByName(std::array<NameValue, 417>{{
    {"ansi_x3.4-1968", 20127}, {"ansi_x3.4-1986", 20127}, {"arabic", 28596}, {"ascii", 20127},
    {"asmo-708", 708}, {"big5", 950}, {"big5-hkscs", 950}, {"ccsid00858", 858},
    {"ccsid00924", 20924}, {"ccsid01140", 1140}, {"ccsid01141", 1141}, {"ccsid01142", 1142},
    {"ccsid01143", 1143}, {"ccsid01144", 1144}, {"ccsid01145", 1145}, {"ccsid01146", 1146},
    {"ccsid01147", 1147}, {"ccsid01148", 1148}, {"ccsid01149", 1149}, {"chinese", 936},
    {"cn-big5", 950}, {"cn-gb", 936}, {"cp00858", 858}, {"cp00924", 20924}, {"cp01140", 1140},
    {"cp01141", 1141}, {"cp01142", 1142}, {"cp01143", 1143}, {"cp01144", 1144}, {"cp01145", 1145},
    {"cp01146", 1146}, {"cp01147", 1147}, {"cp01148", 1148}, {"cp01149", 1149}, {"cp037", 37},
    {"cp1025", 21025}, {"cp1026", 1026}, {"cp1250", 1250}, {"cp1251", 1251}, {"cp1252", 1252},
    {"cp1253", 1253}, {"cp1254", 1254}, {"cp1255", 1255}, {"cp1256", 1256}, {"cp1257", 1257},
    {"cp1258", 1258}, {"cp273", 20273}, {"cp278", 20278}, {"cp280", 20280}, {"cp284", 20284},
    {"cp285", 20285}, {"cp290", 20290}, {"cp297", 20297}, {"cp367", 20127}, {"cp420", 20420},
    {"cp423", 20423}, {"cp424", 20424}, {"cp437", 437}, {"cp500", 500}, {"cp50227", 50227},
    {"cp819", 28591}, {"cp850", 850}, {"cp852", 852}, {"cp855", 855}, {"cp857", 857},
    {"cp858", 858}, {"cp860", 860}, {"cp861", 861}, {"cp862", 862}, {"cp863", 863},
    {"cp864", 864}, {"cp865", 865}, {"cp866", 866}, {"cp869", 869}, {"cp870", 870},
    {"cp871", 20871}, {"cp874", 874}, {"cp875", 875}, {"cp880", 20880}, {"cp905", 20905},
    {"cp932", 932}, {"cp936", 936}, {"cp949", 949}, {"cp950", 950}, {"csbig5", 950},
    {"cseuckr", 51949}, {"cseucpkdfmtjapanese", 51932}, {"csgb2312", 936}, {"csgb231280", 936},
    {"csibm037", 37}, {"csibm1026", 1026}, {"csibm273", 20273}, {"csibm277", 20277},
    {"csibm278", 20278}, {"csibm280", 20280}, {"csibm284", 20284}, {"csibm285", 20285},
    {"csibm290", 20290}, {"csibm297", 20297}, {"csibm420", 20420}, {"csibm423", 20423},
    {"csibm424", 20424}, {"csibm500", 500}, {"csibm870", 870}, {"csibm871", 20871},
    {"csibm880", 20880}, {"csibm905", 20905}, {"csibmthai", 20838}, {"csiso2022jp", 50221},
    {"csiso2022kr", 50225}, {"csiso58gb231280", 936}, {"csisolatin1", 28591},
    {"csisolatin2", 28592}, {"csisolatin3", 28593}, {"csisolatin4", 28594},
    {"csisolatin5", 28599}, {"csisolatin9", 28605}, {"csisolatinarabic", 28596},
    {"csisolatincyrillic", 28595}, {"csisolatingreek", 28597}, {"csisolatinhebrew", 28598},
    {"cskoi8r", 20866}, {"csksc56011987", 949}, {"cspc850multilingual", 850},
    {"cspc862latinhebrew", 862}, {"cspc8codepage437", 437}, {"csshiftjis", 932},
    {"csunicode11utf7", 65000}, {"cswindows31j", 932}, {"cyrillic", 28595}, {"dos-720", 720},
    {"dos-862", 862}, {"dos-874", 874}, {"ebcdic-cp-ar1", 20420}, {"ebcdic-cp-be", 500},
    {"ebcdic-cp-ca", 37}, {"ebcdic-cp-ch", 500}, {"ebcdic-cp-dk", 20277}, {"ebcdic-cp-es", 20284},
    {"ebcdic-cp-fi", 20278}, {"ebcdic-cp-fr", 20297}, {"ebcdic-cp-gb", 20285},
    {"ebcdic-cp-gr", 20423}, {"ebcdic-cp-he", 20424}, {"ebcdic-cp-is", 20871},
    {"ebcdic-cp-it", 20280}, {"ebcdic-cp-nl", 37}, {"ebcdic-cp-no", 20277},
    {"ebcdic-cp-roece", 870}, {"ebcdic-cp-se", 20278}, {"ebcdic-cp-tr", 20905},
    {"ebcdic-cp-us", 37}, {"ebcdic-cp-wt", 37}, {"ebcdic-cp-yu", 870}, {"ebcdic-cyrillic", 20880},
    {"ebcdic-de-273+euro", 1141}, {"ebcdic-dk-277+euro", 1142}, {"ebcdic-es-284+euro", 1145},
    {"ebcdic-fi-278+euro", 1143}, {"ebcdic-fr-297+euro", 1147}, {"ebcdic-gb-285+euro", 1146},
    {"ebcdic-international-500+euro", 1148}, {"ebcdic-is-871+euro", 1149},
    {"ebcdic-it-280+euro", 1144}, {"ebcdic-jp-kana", 20290}, {"ebcdic-latin9--euro", 20924},
    {"ebcdic-no-277+euro", 1142}, {"ebcdic-se-278+euro", 1143}, {"ebcdic-us-37+euro", 1140},
    {"ecma-114", 28596}, {"ecma-118", 28597}, {"elot_928", 28597}, {"euc-cn", 51936},
    {"euc-jp", 51932}, {"euc-kr", 51949},
    {"extended_unix_code_packed_format_for_japanese", 51932}, {"gb18030", 54936}, {"gb2312", 936},
    {"gb2312-80", 936}, {"gb231280", 936}, {"gb_2312-80", 936}, {"gbk", 936}, {"german", 20106},
    {"greek", 28597}, {"greek8", 28597}, {"hebrew", 28598}, {"hz-gb-2312", 52936},
    {"ibm-thai", 20838}, {"ibm00858", 858}, {"ibm00924", 20924}, {"ibm01047", 1047},
    {"ibm01140", 1140}, {"ibm01141", 1141}, {"ibm01142", 1142}, {"ibm01143", 1143},
    {"ibm01144", 1144}, {"ibm01145", 1145}, {"ibm01146", 1146}, {"ibm01147", 1147},
    {"ibm01148", 1148}, {"ibm01149", 1149}, {"ibm037", 37}, {"ibm1026", 1026}, {"ibm273", 20273},
    {"ibm277", 20277}, {"ibm278", 20278}, {"ibm280", 20280}, {"ibm284", 20284}, {"ibm285", 20285},
    {"ibm290", 20290}, {"ibm297", 20297}, {"ibm367", 20127}, {"ibm420", 20420}, {"ibm423", 20423},
    {"ibm424", 20424}, {"ibm437", 437}, {"ibm500", 500}, {"ibm737", 737}, {"ibm775", 775},
    {"ibm819", 28591}, {"ibm850", 850}, {"ibm852", 852}, {"ibm855", 855}, {"ibm857", 857},
    {"ibm860", 860}, {"ibm861", 861}, {"ibm862", 862}, {"ibm863", 863}, {"ibm864", 864},
    {"ibm865", 865}, {"ibm866", 866}, {"ibm869", 869}, {"ibm870", 870}, {"ibm871", 20871},
    {"ibm880", 20880}, {"ibm905", 20905}, {"irv", 20105}, {"iso-2022-jp", 50220},
    {"iso-2022-jpeuc", 51932}, {"iso-2022-kr", 50225}, {"iso-2022-kr-7", 50225},
    {"iso-2022-kr-7bit", 50225}, {"iso-2022-kr-8", 51949}, {"iso-2022-kr-8bit", 51949},
    {"iso-8859-1", 28591}, {"iso-8859-11", 874}, {"iso-8859-13", 28603}, {"iso-8859-15", 28605},
    {"iso-8859-2", 28592}, {"iso-8859-3", 28593}, {"iso-8859-4", 28594}, {"iso-8859-5", 28595},
    {"iso-8859-6", 28596}, {"iso-8859-7", 28597}, {"iso-8859-8", 28598},
    {"iso-8859-8 visual", 28598}, {"iso-8859-8-i", 38598}, {"iso-8859-9", 28599},
    {"iso-ir-100", 28591}, {"iso-ir-101", 28592}, {"iso-ir-109", 28593}, {"iso-ir-110", 28594},
    {"iso-ir-126", 28597}, {"iso-ir-127", 28596}, {"iso-ir-138", 28598}, {"iso-ir-144", 28595},
    {"iso-ir-148", 28599}, {"iso-ir-149", 949}, {"iso-ir-58", 936}, {"iso-ir-6", 20127},
    {"iso646-us", 20127}, {"iso8859-1", 28591}, {"iso8859-2", 28592}, {"iso_646.irv:1991", 20127},
    {"iso_8859-1", 28591}, {"iso_8859-15", 28605}, {"iso_8859-1:1987", 28591},
    {"iso_8859-2", 28592}, {"iso_8859-2:1987", 28592}, {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593}, {"iso_8859-4", 28594}, {"iso_8859-4:1988", 28594},
    {"iso_8859-5", 28595}, {"iso_8859-5:1988", 28595}, {"iso_8859-6", 28596},
    {"iso_8859-6:1987", 28596}, {"iso_8859-7", 28597}, {"iso_8859-7:1987", 28597},
    {"iso_8859-8", 28598}, {"iso_8859-8-i", 1255}, {"iso_8859-8:1988", 28598},
    {"iso_8859-9", 28599}, {"iso_8859-9:1989", 28599}, {"johab", 1361}, {"koi", 20866},
    {"koi8", 20866}, {"koi8-r", 20866}, {"koi8-ru", 21866}, {"koi8-u", 21866}, {"koi8r", 20866},
    {"korean", 949}, {"ks-c-5601", 949}, {"ks-c5601", 949}, {"ks_c_5601", 949},
    {"ks_c_5601-1987", 949}, {"ks_c_5601-1989", 949}, {"ks_c_5601_1987", 949}, {"ksc5601", 949},
    {"ksc_5601", 949}, {"l1", 28591}, {"l2", 28592}, {"l3", 28593}, {"l4", 28594}, {"l5", 28599},
    {"l9", 28605}, {"latin1", 28591}, {"latin2", 28592}, {"latin3", 28593}, {"latin4", 28594},
    {"latin5", 28599}, {"latin9", 28605}, {"logical", 28598}, {"macintosh", 10000},
    {"ms_kanji", 932}, {"norwegian", 20108}, {"ns_4551-1", 20108},
    {"pc-multilingual-850+euro", 858}, {"sen_850200_b", 20107}, {"shift-jis", 932},
    {"shift_jis", 932}, {"sjis", 932}, {"swedish", 20107}, {"tis-620", 874}, {"ucs-2", 1200},
    {"unicode", 1200}, {"unicode-1-1-utf-7", 65000}, {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-7", 65000}, {"unicode-2-0-utf-8", 65001}, {"unicodefffe", 1201},
    {"us", 20127}, {"us-ascii", 20127}, {"utf-16", 1200}, {"utf-16be", 1201}, {"utf-16le", 1200},
    {"utf-32", 12000}, {"utf-32be", 12001}, {"utf-32le", 12000}, {"utf-7", 65000},
    {"utf-8", 65001}, {"visual", 28598}, {"windows-1250", 1250}, {"windows-1251", 1251},
    {"windows-1252", 1252}, {"windows-1253", 1253}, {"windows-1254", 1254},
    {"windows-1255", 1255}, {"windows-1256", 1256}, {"windows-1257", 1257},
    {"windows-1258", 1258}, {"windows-874", 874}, {"x-ansi", 1252}, {"x-chinese-cns", 20000},
    {"x-chinese-eten", 20002}, {"x-cp1250", 1250}, {"x-cp1251", 1251}, {"x-cp20001", 20001},
    {"x-cp20003", 20003}, {"x-cp20004", 20004}, {"x-cp20005", 20005}, {"x-cp20261", 20261},
    {"x-cp20269", 20269}, {"x-cp20936", 20936}, {"x-cp20949", 20949}, {"x-cp50227", 50227},
    {"x-ebcdic-koreanextended", 20833}, {"x-euc", 51932}, {"x-euc-cn", 51936},
    {"x-euc-jp", 51932}, {"x-europa", 29001}, {"x-ia5", 20105}, {"x-ia5-german", 20106},
    {"x-ia5-norwegian", 20108}, {"x-ia5-swedish", 20107}, {"x-iscii-as", 57006},
    {"x-iscii-be", 57003}, {"x-iscii-de", 57002}, {"x-iscii-gu", 57010}, {"x-iscii-ka", 57008},
    {"x-iscii-ma", 57009}, {"x-iscii-or", 57007}, {"x-iscii-pa", 57011}, {"x-iscii-ta", 57004},
    {"x-iscii-te", 57005}, {"x-mac-arabic", 10004}, {"x-mac-ce", 10029},
    {"x-mac-chinesesimp", 10008}, {"x-mac-chinesetrad", 10002}, {"x-mac-croatian", 10082},
    {"x-mac-cyrillic", 10007}, {"x-mac-greek", 10006}, {"x-mac-hebrew", 10005},
    {"x-mac-icelandic", 10079}, {"x-mac-japanese", 10001}, {"x-mac-korean", 10003},
    {"x-mac-romanian", 10010}, {"x-mac-thai", 10021}, {"x-mac-turkish", 10081},
    {"x-mac-ukrainian", 10017}, {"x-ms-cp932", 932}, {"x-sjis", 932},
    {"x-unicode-1-1-utf-7", 65000}, {"x-unicode-1-1-utf-8", 65001},
    {"x-unicode-2-0-utf-7", 65000}, {"x-unicode-2-0-utf-8", 65001}, {"x-x-big5", 950},
}});
static_assert(strictlyAscending(kCharsets), "character-set names must be unique");
static_assert(allLowerCase(kCharsets), "character-set names are stored in lower case");

// The 252 character entities of HTML 4 (Latin-1, symbols, special) and "apos".
constexpr auto kEntities = sortedByName(std::array<NameValue, 253>{{
    {"nbsp", 160}, {"iexcl", 161}, {"cent", 162}, {"pound", 163}, {"curren", 164}, {"yen", 165},
    {"brvbar", 166}, {"sect", 167}, {"uml", 168}, {"copy", 169}, {"ordf", 170}, {"laquo", 171},
    {"not", 172}, {"shy", 173}, {"reg", 174}, {"macr", 175}, {"deg", 176}, {"plusmn", 177},
    {"sup2", 178}, {"sup3", 179}, {"acute", 180}, {"micro", 181}, {"para", 182}, {"middot", 183},
    {"cedil", 184}, {"sup1", 185}, {"ordm", 186}, {"raquo", 187}, {"frac14", 188},
    {"frac12", 189}, {"frac34", 190}, {"iquest", 191}, {"Agrave", 192}, {"Aacute", 193},
    {"Acirc", 194}, {"Atilde", 195}, {"Auml", 196}, {"Aring", 197}, {"AElig", 198},
    {"Ccedil", 199}, {"Egrave", 200}, {"Eacute", 201}, {"Ecirc", 202}, {"Euml", 203},
    {"Igrave", 204}, {"Iacute", 205}, {"Icirc", 206}, {"Iuml", 207}, {"ETH", 208},
    {"Ntilde", 209}, {"Ograve", 210}, {"Oacute", 211}, {"Ocirc", 212}, {"Otilde", 213},
    {"Ouml", 214}, {"times", 215}, {"Oslash", 216}, {"Ugrave", 217}, {"Uacute", 218},
    {"Ucirc", 219}, {"Uuml", 220}, {"Yacute", 221}, {"THORN", 222}, {"szlig", 223},
    {"agrave", 224}, {"aacute", 225}, {"acirc", 226}, {"atilde", 227}, {"auml", 228},
    {"aring", 229}, {"aelig", 230}, {"ccedil", 231}, {"egrave", 232}, {"eacute", 233},
    {"ecirc", 234}, {"euml", 235}, {"igrave", 236}, {"iacute", 237}, {"icirc", 238},
    {"iuml", 239}, {"eth", 240}, {"ntilde", 241}, {"ograve", 242}, {"oacute", 243},
    {"ocirc", 244}, {"otilde", 245}, {"ouml", 246}, {"divide", 247}, {"oslash", 248},
    {"ugrave", 249}, {"uacute", 250}, {"ucirc", 251}, {"uuml", 252}, {"yacute", 253},
    {"thorn", 254}, {"yuml", 255}, {"fnof", 402}, {"Alpha", 913}, {"Beta", 914}, {"Gamma", 915},
    {"Delta", 916}, {"Epsilon", 917}, {"Zeta", 918}, {"Eta", 919}, {"Theta", 920}, {"Iota", 921},
    {"Kappa", 922}, {"Lambda", 923}, {"Mu", 924}, {"Nu", 925}, {"Xi", 926}, {"Omicron", 927},
    {"Pi", 928}, {"Rho", 929}, {"Sigma", 931}, {"Tau", 932}, {"Upsilon", 933}, {"Phi", 934},
    {"Chi", 935}, {"Psi", 936}, {"Omega", 937}, {"alpha", 945}, {"beta", 946}, {"gamma", 947},
    {"delta", 948}, {"epsilon", 949}, {"zeta", 950}, {"eta", 951}, {"theta", 952}, {"iota", 953},
    {"kappa", 954}, {"lambda", 955}, {"mu", 956}, {"nu", 957}, {"xi", 958}, {"omicron", 959},
    {"pi", 960}, {"rho", 961}, {"sigmaf", 962}, {"sigma", 963}, {"tau", 964}, {"upsilon", 965},
    {"phi", 966}, {"chi", 967}, {"psi", 968}, {"omega", 969}, {"thetasym", 977}, {"upsih", 978},
    {"piv", 982}, {"bull", 8226}, {"hellip", 8230}, {"prime", 8242}, {"Prime", 8243},
    {"oline", 8254}, {"frasl", 8260}, {"weierp", 8472}, {"image", 8465}, {"real", 8476},
    {"trade", 8482}, {"alefsym", 8501}, {"larr", 8592}, {"uarr", 8593}, {"rarr", 8594},
    {"darr", 8595}, {"harr", 8596}, {"crarr", 8629}, {"lArr", 8656}, {"uArr", 8657},
    {"rArr", 8658}, {"dArr", 8659}, {"hArr", 8660}, {"forall", 8704}, {"part", 8706},
    {"exist", 8707}, {"empty", 8709}, {"nabla", 8711}, {"isin", 8712}, {"notin", 8713},
    {"ni", 8715}, {"prod", 8719}, {"sum", 8721}, {"minus", 8722}, {"lowast", 8727},
    {"radic", 8730}, {"prop", 8733}, {"infin", 8734}, {"ang", 8736}, {"and", 8743}, {"or", 8744},
    {"cap", 8745}, {"cup", 8746}, {"int", 8747}, {"there4", 8756}, {"sim", 8764}, {"cong", 8773},
    {"asymp", 8776}, {"ne", 8800}, {"equiv", 8801}, {"le", 8804}, {"ge", 8805}, {"sub", 8834},
    {"sup", 8835}, {"nsub", 8836}, {"sube", 8838}, {"supe", 8839}, {"oplus", 8853},
    {"otimes", 8855}, {"perp", 8869}, {"sdot", 8901}, {"lceil", 8968}, {"rceil", 8969},
    {"lfloor", 8970}, {"rfloor", 8971}, {"lang", 9001}, {"rang", 9002}, {"loz", 9674},
    {"spades", 9824}, {"clubs", 9827}, {"hearts", 9829}, {"diams", 9830}, {"quot", 34},
    {"amp", 38}, {"lt", 60}, {"gt", 62}, {"OElig", 338}, {"oelig", 339}, {"Scaron", 352},
    {"scaron", 353}, {"Yuml", 376}, {"circ", 710}, {"tilde", 732}, {"ensp", 8194}, {"emsp", 8195},
    {"thinsp", 8201}, {"zwnj", 8204}, {"zwj", 8205}, {"lrm", 8206}, {"rlm", 8207},
    {"ndash", 8211}, {"mdash", 8212}, {"lsquo", 8216}, {"rsquo", 8217}, {"sbquo", 8218},
    {"ldquo", 8220}, {"rdquo", 8221}, {"bdquo", 8222}, {"dagger", 8224}, {"Dagger", 8225},
    {"permil", 8240}, {"lsaquo", 8249}, {"rsaquo", 8250}, {"euro", 8364}, {"apos", 39},
}});
static_assert(strictlyAscending(kEntities), "entity names must be unique");

}  // namespace

bool charsetCodePage(std::string_view name, unsigned& codePage) {
  char lower[64];
  if (name.empty() || name.size() > sizeof lower) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  std::uint32_t v = 0;
  if (!find(kCharsets, std::string_view(lower, name.size()), v)) return false;
  codePage = v;
  return true;
}

std::size_t charsetNameCount() { return kCharsets.size(); }

bool entityCodePoint(std::string_view name, char32_t& codePoint) {
  std::uint32_t v = 0;
  if (!find(kEntities, name, v)) return false;
  codePoint = v;
  return true;
}

std::size_t entityNameCount() { return kEntities.size(); }

}  // namespace shared
