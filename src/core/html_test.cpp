#include "core/html.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/utf.h"

namespace ixo {
namespace {

using namespace std::string_literals;

// Narrow literals here are ASCII: the Windows build compiles them to code
// page 932. UTF-8 text is made from UTF-16 literals.
std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

struct TextCase {
  std::u16string text, want;
};

TEST(DecodeCharacterReferences, NamedDecimalAndHexAsBrowsersDecodeThem) {
  const TextCase cases[] = {
      {u"&amp; &lt;b&gt; &quot;&apos;", u"& <b> \"'"},
      {u"Caf&eacute; &hellip; &euro;&trade;", u"Caf\u00E9 \u2026 \u20AC\u2122"},
      {u"&AMP;&COPY;&REG&LT", u"&\u00A9\u00AE<"},
      {u"&Amp; &EAcute; &hellip &apos", u"&Amp; &EAcute; &hellip &apos"},  // ';' and case
      {u"&eacute&copy2&notin;&notit;&ampx", u"\u00E9\u00A92\u2209\u00ACit;&x"},
      {u"&#1234;&#x1F370;&#X1f370&#97b", u"\u04D2\U0001F370\U0001F370ab"},
      {u"&#0;&#xD800;&#xDFFF;&#x110000;&#99999999999999999999;", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {u"&#128;&#x81;&#150;&#159;&#160;", u"\u20AC\u0081\u2013\u0178\u00A0"},
      {u"&#;&#x;&#xg;& &;&unknown;a&", u"&#;&#x;&#xg;& &;&unknown;a&"},
      {u"&&amp;&#38;#38;", u"&&&#38;"},
      {u"&lang;&rang;&thetasym;&alefsym;", u"\u27E8\u27E9\u03D1\u2135"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(DecodeCharacterReferences(c.text), c.want) << U8(c.text);
  }

  // In an attribute (a link's address), a name without ';' followed by a
  // letter, digit or '=' is part of the address.
  const TextCase inAttribute[] = {
      {u"?a=1&copy=2&amp;b=3", u"?a=1&copy=2&b=3"},
      {u"?x&notin=1&copyx&lt2", u"?x&notin=1&copyx&lt2"},
      {u"&copy;=&copy.&lt", u"\u00A9=\u00A9.<"},
  };
  for (const TextCase& c : inAttribute) {
    EXPECT_EQ(DecodeCharacterReferences(c.text, true), c.want) << U8(c.text);
  }
}

// One from each part of the set, the ends of the Latin-1 names among them.
TEST(DecodeCharacterReferences, EveryPartOfTheHtml4Set) {
  struct Case {
    const char16_t* name;
    char16_t code;
  } cases[] = {
      {u"nbsp", 0xA0},    {u"iexcl", 0xA1},    {u"shy", 0xAD},      {u"frac34", 0xBE},
      {u"AElig", 0xC6},   {u"ETH", 0xD0},      {u"times", 0xD7},    {u"THORN", 0xDE},
      {u"szlig", 0xDF},   {u"divide", 0xF7},   {u"yuml", 0xFF},     {u"OElig", 0x152},
      {u"Scaron", 0x160}, {u"Yuml", 0x178},    {u"fnof", 0x192},    {u"circ", 0x2C6},
      {u"tilde", 0x2DC},  {u"Alpha", 0x391},   {u"Rho", 0x3A1},     {u"Sigma", 0x3A3},
      {u"Omega", 0x3A9},  {u"alpha", 0x3B1},   {u"sigmaf", 0x3C2},  {u"omega", 0x3C9},
      {u"upsih", 0x3D2},  {u"piv", 0x3D6},     {u"ensp", 0x2002},   {u"thinsp", 0x2009},
      {u"zwnj", 0x200C},  {u"rlm", 0x200F},    {u"ndash", 0x2013},  {u"sbquo", 0x201A},
      {u"bdquo", 0x201E}, {u"Dagger", 0x2021}, {u"bull", 0x2022},   {u"permil", 0x2030},
      {u"Prime", 0x2033}, {u"rsaquo", 0x203A}, {u"oline", 0x203E},  {u"frasl", 0x2044},
      {u"image", 0x2111}, {u"weierp", 0x2118}, {u"real", 0x211C},   {u"larr", 0x2190},
      {u"crarr", 0x21B5}, {u"hArr", 0x21D4},   {u"forall", 0x2200}, {u"part", 0x2202},
      {u"empty", 0x2205}, {u"nabla", 0x2207},  {u"ni", 0x220B},     {u"prod", 0x220F},
      {u"minus", 0x2212}, {u"lowast", 0x2217}, {u"radic", 0x221A},  {u"prop", 0x221D},
      {u"ang", 0x2220},   {u"and", 0x2227},    {u"int", 0x222B},    {u"there4", 0x2234},
      {u"sim", 0x223C},   {u"cong", 0x2245},   {u"asymp", 0x2248},  {u"ne", 0x2260},
      {u"le", 0x2264},    {u"sub", 0x2282},    {u"nsub", 0x2284},   {u"supe", 0x2287},
      {u"oplus", 0x2295}, {u"otimes", 0x2297}, {u"perp", 0x22A5},   {u"sdot", 0x22C5},
      {u"lceil", 0x2308}, {u"rfloor", 0x230B}, {u"loz", 0x25CA},    {u"spades", 0x2660},
      {u"clubs", 0x2663}, {u"hearts", 0x2665}, {u"diams", 0x2666},
  };
  for (const Case& c : cases) {
    const std::u16string ref = std::u16string(u"&").append(c.name).append(u";");
    EXPECT_EQ(DecodeCharacterReferences(ref), std::u16string(1, c.code)) << U8(ref);
  }
}

TEST(TitleText, ReferencesDecodedAndWhitespaceCollapsed) {
  const TextCase cases[] = {
      {u"  Caf&eacute;\r\n\t&amp;  &#x1F370; ", u"Caf\u00E9 & \U0001F370"},
      {u"&#10;x&#32;&#9;y&#13;", u"x y"},
      {u"&nbsp;x\u00A0 \u3000y", u"\u00A0x\u00A0 \u3000y"},  // no-break and ideographic stay
      {u"a\fb\u0001c\u0000d\u001Fe"s, u"a b c d e"},
      {u" \t\r\n\f", u""},
      {u"", u""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(TitleText(c.text), c.want) << U8(c.text);
  EXPECT_EQ(CollapseWhitespace(u" a  &amp; "), u"a &amp;");
}

TEST(LinkTitle, TheTextOfTheFirstLinkToTheAddress) {
  const std::string url = "https://example.com/";
  const std::string nihongo = U8(u"\u65E5\u672C\u8A9E\u306E\u30DA\u30FC\u30B8");
  struct Case {
    std::string fragment;
    std::u16string want;
  } cases[] = {
      // What Edge puts for a copied address.
      {"<a href=\"https://example.com/\">Example Domain</a>", u"Example Domain"},
      {"<A HREF='https://example.com/'>Single</A>", u"Single"},
      {"<a class=x href=https://example.com/ target=_blank>Unquoted</a>", u"Unquoted"},
      {"<a\nhref = \"https://example.com/\"\n>Spaced</a>", u"Spaced"},
      {"<a href=\" https://example.com/\n\">Trimmed</a>", u"Trimmed"},
      {std::string("<a href=\"https://example.com/\">").append(nihongo).append("</a>"),
       u"\u65E5\u672C\u8A9E\u306E\u30DA\u30FC\u30B8"},
      {"<a href=\"https://example.com/\">bad \xFF utf-8</a>", u"bad \uFFFD utf-8"},
      // Other addresses, and links with no text, are passed over.
      {"<a href=\"https://other.example/\">Other</a> <a href=\"https://example.com/\">Mine</a>",
       u"Mine"},
      {"<a href=\"https://example.com/\"><img src=x.png></a><a href=\"https://example.com/\">"
       "Second</a>",
       u"Second"},
      {"<a href=\"https://example.com/\"> &#32;\n</a><a href=\"https://example.com/\">T</a>", u"T"},
      {"<a href=\"https://example.com/page\">Longer</a>", u""},
      {"<a href=\"https://example.com\">Shorter</a>", u""},
      {"<a href=\"HTTPS://EXAMPLE.COM/\">Capitals</a>", u""},
      {"<a name=\"https://example.com/\">No href</a>", u""},
      {"<a data-href=\"https://example.com/\" title=\"href=https://example.com/\">x</a>", u""},
      {"<a href=\"https://other.example/\" href=\"https://example.com/\">First counts</a>", u""},
      {"https://example.com/ in text", u""},
      {"", u""},
      // Markup inside the link.
      {"<a href=\"https://example.com/\"><b>Bold</b> <span class=\"x\">and <i>it</i></span></a>",
       u"Bold and it"},
      {"<a href=\"https://example.com/\">A<!-- no --><script>no()</script>B<style>p{}</style>C"
       "</a>",
       u"ABC"},
      {"<a href=\"https://example.com/\">\n  Example\t\tDomain &nbsp;\n</a>",
       u"Example Domain \u00A0"},
      {"<a href=\"https://example.com/\">Caf&eacute; &amp; &#x1F370; &lt;b&gt;</a>",
       u"Caf\u00E9 & \U0001F370 <b>"},
      {"<a href=\"https://example.com/\">&am<b></b>p; a &lt b</a>", u"&amp; a < b"},
      // A link ends at its end tag, at the next link, or with the fragment.
      {"<a href=\"https://example.com/\">One<a href=\"https://other.example/\">Two</a>", u"One"},
      {"<a href=\"https://example.com/\">Unclosed <b>link", u"Unclosed link"},
      {"<a href=\"https://example.com/\">In</a>Out", u"In"},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkTitle(c.fragment, url), c.want) << c.fragment;
}

TEST(LinkTitle, TheAddressAsItsReferencesReadAndAsTheExtractionGivesIt) {
  struct Case {
    const char* fragment;
    const char* address;
    std::u16string want;
  } cases[] = {
      {"<a href=\"http://a/?x=1&amp;y=2\">T</a>", "http://a/?x=1&y=2", u"T"},
      {"<a href=\"http://a/?x=1&copy=2\">T</a>", "http://a/?x=1&copy=2", u"T"},
      {"<a href=\"http://a/&#x7E;u\">T</a>", "http://a/~u", u"T"},
      {"<a href=\"http://a/?x=1&amp;y=2\">T</a>", "http://a/?x=1&amp;y=2", u""},
      // Code page 932 bytes are no UTF-8: such an address matches nothing.
      {"<a href=\"http://a/\x83\x5C\">T</a>", "http://a/\x83\x5C", u""},
      {"<a href=\"\">T</a>", "", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkTitle(c.fragment, c.address), c.want) << c.fragment;
}

TEST(TitleElementText, TheRawTextOfTheFirstTitleElement) {
  struct Case {
    const char* html;
    std::optional<std::string_view> want;
  } cases[] = {
      {"<html><head><title>Hello</title></head></html>", "Hello"},
      {"<TITLE lang=ja class='a>b'>Hi</TiTlE >", "Hi"},
      {"<title>a <b>bold</b> &amp; c</title>", "a <b>bold</b> &amp; c"},
      {"<title>x</titlex></title/>", "x</titlex>"},
      {"<title></title>", ""},
      {"<title>first</title><title>second</title>", "first"},
      {"<body><p>late<title>in body</title>", "in body"},
      {"<!-- <title>no</title> --><title>yes</title>", "yes"},
      {"<!--><title>yes</title>", "yes"},
      {"<!---><title>yes</title>", "yes"},
      {"<!-- <title>no</title> --!><title>yes</title>", "yes"},
      {"<script>document.write('<title>no</title>')</script><title>yes</title>", "yes"},
      {"<style>/* <title>no</title> */</style><title>yes</title>", "yes"},
      {"<textarea><title>no</title></textarea><title>yes</title>", "yes"},
      {"<meta content=\"<title>no</title>\"><title>yes</title>", "yes"},
      {"<svg><title>icon</title></svg><title>page</title>", "page"},
      {"<svg><g><svg><title>a</title></svg><title>b</title></g></svg><title>c</title>", "c"},
      {"<math><title>m</title></math><svg/><title>page</title>", "page"},
      {"<svg><![CDATA[</svg><title>no</title>]]></svg><title>yes</title>", "yes"},
      {"<title>never closed", std::nullopt},
      {"<title>cut at </title", std::nullopt},
      {"<title", std::nullopt},
      {"<svg><title>only an icon</title></svg>", std::nullopt},
      {"<!-- <title>commented out</title>", std::nullopt},
      {"no title at all", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TitleElementText(std::string_view(c.html)), c.want) << c.html;
    const std::u16string wide = Utf8ToUtf16(c.html);
    const std::optional<std::u16string_view> got = TitleElementText(std::u16string_view(wide));
    EXPECT_EQ(got.has_value(), c.want.has_value()) << c.html;
    if (got && c.want) {
      EXPECT_EQ(Utf16ToUtf8(*got), *c.want) << c.html;
    }
  }
}

}  // namespace
}  // namespace ixo
