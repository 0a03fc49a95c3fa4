#include "qutils/text.h"

namespace qutils {

namespace {

// Length of the well-formed UTF-8 character at text[i], 0 if there is none.
std::size_t characterLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b = byte(i);
  if (b < 0x80)
    return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xbf;
  if (b >= 0xc2 && b <= 0xdf) {
    length = 2;
  } else if (b >= 0xe0 && b <= 0xef) {
    length = 3;
    if (b == 0xe0)
      low = 0xa0; // overlong
    else if (b == 0xed)
      high = 0x9f; // surrogates
  } else if (b >= 0xf0 && b <= 0xf4) {
    length = 4;
    if (b == 0xf0)
      low = 0x90; // overlong
    else if (b == 0xf4)
      high = 0x8f; // past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - i < length)
    return 0;
  if (byte(i + 1) < low || byte(i + 1) > high)
    return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xbf)
      return 0;
  return length;
}

} // namespace

bool isUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = characterLength(text, i);
    if (n == 0)
      return false;
    i += n;
  }
  return true;
}

std::string escapedText(std::string_view text, std::size_t maxBytes) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t n = characterLength(text, i);
    const auto b = static_cast<unsigned char>(text[i]);
    const bool plain = n > 1 || (n == 1 && b >= 0x20 && b != 0x7f);
    if (!plain)
      n = 1;
    if (maxBytes != std::string_view::npos && i + n > maxBytes)
      break;
    if (plain) {
      out.append(text.substr(i, n));
    } else {
      out += "\\x";
      out += hex[b >> 4];
      out += hex[b & 15];
    }
    i += n;
  }
  return out;
}

std::string nameProblem(std::string_view text, std::size_t maxBytes) {
  if (text.size() > maxBytes)
    return "is longer than " + std::to_string(maxBytes) + " bytes";
  if (!isUtf8(text))
    return "is not UTF-8 text";
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return "holds a control character";
  return {};
}

} // namespace qutils
