#include "bots/commandwords.h"

namespace pod::bots {

std::vector<std::string> splitCommandWords(const std::string& command, std::string* error) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  const std::size_t n = command.size();
  auto fail = [&](const char* why) {
    if (error)
      *error = why;
    return std::vector<std::string>{};
  };
  for (std::size_t i = 0; i < n; ++i) {
    const char c = command[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord)
        words.push_back(word);
      word.clear();
      inWord = false;
    } else if (c == '\'') {
      const std::size_t end = command.find('\'', i + 1);
      if (end == std::string::npos)
        return fail("unterminated single quote");
      word.append(command, i + 1, end - i - 1);
      i = end;
      inWord = true;
    } else if (c == '"') {
      inWord = true;
      for (++i;; ++i) {
        if (i >= n)
          return fail("unterminated double quote");
        const char d = command[i];
        if (d == '"')
          break;
        if (d == '\\' && i + 1 < n) {
          const char e = command[i + 1];
          if (e == '"' || e == '\\' || e == '$' || e == '`') {
            word += e;
            ++i;
            continue;
          }
          if (e == '\n') {
            ++i;
            continue;
          }
        }
        word += d;
      }
    } else if (c == '\\') {
      if (i + 1 >= n)
        return fail("trailing backslash");
      ++i;
      if (command[i] != '\n') {
        word += command[i];
        inWord = true;
      }
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord)
    words.push_back(word);
  if (words.empty())
    return fail("empty command");
  return words;
}

} // namespace pod::bots
