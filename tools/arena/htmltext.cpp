#include "htmltext.h"

#include <qutils/text.h>

#include <charconv>
#include <cmath>

namespace pod::arena {

std::string htmlText(std::string_view text) {
  const std::string checked = qutils::isUtf8(text) ? std::string(text) : qutils::escapedText(text);
  std::string out;
  out.reserve(checked.size() + 16);
  for (char c : checked) {
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    case '\'': out += "&#39;"; break;
    default: out += c;
    }
  }
  return out;
}

std::string shortened(std::string_view text, std::size_t maxChars) {
  const std::string checked = qutils::isUtf8(text) ? std::string(text) : qutils::escapedText(text);
  std::size_t chars = 0;
  for (std::size_t i = 0; i < checked.size(); ++i) {
    if ((static_cast<unsigned char>(checked[i]) & 0xc0) == 0x80)
      continue; // inside a character
    if (chars++ == maxChars)
      return checked.substr(0, i) + "\xe2\x80\xa6";
  }
  return checked;
}

std::string shortestNumber(float value) {
  if (!std::isfinite(value))
    return "0";
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, written.ptr);
}

std::string shellCommand(const std::string& program, const std::vector<std::string>& args) {
  std::string line = program;
  for (const auto& a : args) {
    const bool plain = !a.empty() && a.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                         "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                         "0123456789_./=:,+-@%") ==
                                         std::string::npos;
    line += ' ';
    if (plain) {
      line += a;
      continue;
    }
    line += '\'';
    for (char c : a)
      line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += '\'';
  }
  return line;
}

} // namespace pod::arena
