#include "output.h"

#include "badinput.h"
#include "league.h"

#include "trace/tracewriter.h"

namespace pod::arena {

namespace {

std::unique_ptr<std::ofstream> openFile(const std::string& path, const char* what) {
  if (path.empty())
    return nullptr;
  auto file = std::make_unique<std::ofstream>(path, std::ios::trunc);
  if (!*file)
    throw BadInput{std::string("cannot write the ") + what + " file '" + path + "'"};
  return file;
}

void check(const std::unique_ptr<std::ofstream>& file, const std::string& path, const char* what) {
  if (file && !file->flush())
    throw BadInput{std::string("cannot write the ") + what + " file '" + path + "'"};
}

} // namespace

OutputFiles::OutputFiles(const OutputPaths& paths, bool league) : paths_(paths) {
  if (!league && (!paths.csv.empty() || !paths.markdown.empty()))
    throw BadInput{"--csv and --markdown write a league's tables; add --league"};
  json_ = openFile(paths.json, "summary");
  csv_ = openFile(paths.csv, "CSV");
  markdown_ = openFile(paths.markdown, "Markdown");
  html_ = openFile(paths.html, "HTML");
}

void OutputFiles::write(std::ostream& out, const ReportInput& input,
                        const nlohmann::ordered_json* json) {
  printReport(out, input);
  // A partial summary is for merging: compact, as a thousand of them may be read at once.
  if (json_)
    *json_ << (json ? jsonText(*json) : jsonText(jsonReport(input), 2)) << '\n';
  if (csv_ || markdown_) {
    const LeagueTable table = leagueTable(input.summaries);
    if (csv_)
      writeLeagueCsv(*csv_, table);
    if (markdown_)
      writeLeagueMarkdown(*markdown_, table);
  }
  if (html_)
    writeHtmlReport(*html_, input, htmlExtras_);
  check(json_, paths_.json, "summary");
  check(html_, paths_.html, "HTML");
  check(csv_, paths_.csv, "CSV");
  check(markdown_, paths_.markdown, "Markdown");
}

} // namespace pod::arena
