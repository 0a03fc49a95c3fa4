#include "cliparse.h"

#include <CLI/CLI.hpp>

#include <qutils/text.h>

#include <algorithm>

namespace pod::arena {

std::string oneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return qutils::escapedText(text);
}

std::optional<int> parseArguments(CLI::App& app, const std::string& program,
                                  const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err) {
  std::vector<const char*> argv = {program.c_str()};
  for (const auto& a : args)
    argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return 0;
  } catch (const CLI::ParseError& e) {
    err << program << ": " << oneLine(e.what()) << '\n';
    return 2;
  }
  return std::nullopt;
}

} // namespace pod::arena
