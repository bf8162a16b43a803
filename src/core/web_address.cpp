#include "core/web_address.h"

#include <vector>

#include "core/utf.h"

namespace ixo {

namespace {

bool IsAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// The length of the scheme and its colon at the start of `url`; 0 when it
// has none (RFC 3986: a letter, then letters, digits, "+", "-", ".").
size_t SchemeLength(std::u16string_view url) {
  if (url.empty() || !IsAlpha(url[0])) return 0;
  for (size_t i = 1; i < url.size(); ++i) {
    const char16_t c = url[i];
    if (c == u':') return i + 1;
    if (!IsAlpha(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.') return 0;
  }
  return 0;
}

// The pieces of an address: "scheme:", "//authority", the path, "?query".
struct AddressPieces {
  std::u16string_view scheme, authority, path, query;
};

AddressPieces Split(std::u16string_view url) {
  AddressPieces p;
  url = url.substr(0, url.find(u'#'));
  const size_t s = SchemeLength(url);
  p.scheme = url.substr(0, s);
  url.remove_prefix(s);
  if (url.starts_with(u"//")) {
    const size_t end = url.find_first_of(u"/?", 2);
    p.authority = url.substr(0, end);
    url.remove_prefix(p.authority.size());
  }
  const size_t q = url.find(u'?');
  p.path = url.substr(0, q);
  if (q != std::u16string_view::npos) p.query = url.substr(q);
  return p;
}

// The path with its "." and ".." segments resolved (RFC 3986, 5.2.4).
std::u16string RemoveDotSegments(std::u16string_view path) {
  std::vector<std::u16string_view> out;
  const bool absolute = path.starts_with(u'/');
  size_t i = absolute ? 1 : 0;
  bool trailing = false;
  while (i <= path.size()) {
    const size_t end = std::min(path.find(u'/', i), path.size());
    const std::u16string_view segment = path.substr(i, end - i);
    trailing = false;
    if (segment == u"..") {
      if (!out.empty()) out.pop_back();
      trailing = true;
    } else if (segment == u".") {
      trailing = true;
    } else {
      out.push_back(segment);
    }
    i = end + 1;
  }
  std::u16string result = absolute ? u"/" : u"";
  for (size_t k = 0; k < out.size(); ++k) {
    if (k) result += u'/';
    result += out[k];
  }
  if (trailing && !result.ends_with(u'/')) result += u'/';
  return result;
}

}  // namespace

std::u16string RequestAddress(std::u16string_view url) {
  url = url.substr(0, url.find(u'#'));
  std::u16string out;
  constexpr char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < url.size();) {
    if (url[i] > 0x20 && url[i] < 0x7F) {
      out.push_back(url[i++]);
      continue;
    }
    std::string bytes;
    AppendUtf8(bytes, NextCodePoint(url, i));
    for (const char b : bytes) {
      const auto v = static_cast<unsigned char>(b);
      out += u'%';
      out += static_cast<char16_t>(kHex[v >> 4]);
      out += static_cast<char16_t>(kHex[v & 15]);
    }
  }
  return out;
}

std::u16string ResolveAddress(std::u16string_view base, std::u16string_view location) {
  if (location.empty()) return {};
  const AddressPieces b = Split(base);
  const AddressPieces r = Split(location);
  std::u16string out;
  if (!r.scheme.empty()) {
    out.append(r.scheme).append(r.authority).append(RemoveDotSegments(r.path)).append(r.query);
    return out;
  }
  out.append(b.scheme);
  if (!r.authority.empty()) {
    out.append(r.authority).append(RemoveDotSegments(r.path)).append(r.query);
    return out;
  }
  out.append(b.authority);
  if (r.path.empty()) {
    out.append(b.path).append(r.query.empty() ? b.query : r.query);
    return out;
  }
  if (r.path.starts_with(u'/')) {
    out.append(RemoveDotSegments(r.path));
  } else {
    // Against the base's folder; a base of no path stands for "/".
    std::u16string merged(b.path.empty() && !b.authority.empty() ? u"/" : b.path);
    merged.erase(merged.find_last_of(u'/') + 1);
    merged.append(r.path);
    out.append(RemoveDotSegments(merged));
  }
  out.append(r.query);
  return out;
}

std::u16string SchemeOf(std::u16string_view url) {
  const size_t s = SchemeLength(url);
  std::u16string scheme(url.substr(0, s ? s - 1 : 0));
  for (char16_t& c : scheme) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return scheme;
}

}  // namespace ixo
