#pragma once

#include "htmlreport.h"
#include "report.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <memory>
#include <ostream>
#include <string>

namespace pod::arena {

struct OutputPaths {
  std::string json;
  std::string csv;      // league only
  std::string markdown; // league only
  std::string html;
};

// The files a run (or a merge) writes besides the table on standard output.
// Opened before any race is played, so a bad path costs nothing.
class OutputFiles {
public:
  // Throws BadInput when a file cannot be opened, or CSV or Markdown are
  // asked for without a league.
  OutputFiles(const OutputPaths& paths, bool league);

  // Prints the report on `out` and writes the files; `json` replaces the
  // summary's JSON (a slice writes its partial summary).
  void write(std::ostream& out, const ReportInput& input,
             const nlohmann::ordered_json* json = nullptr);

  // What the HTML page adds to the numbers: the command, links to replays.
  void setHtmlExtras(HtmlExtras extras) { htmlExtras_ = std::move(extras); }

private:
  OutputPaths paths_;
  HtmlExtras htmlExtras_;
  std::unique_ptr<std::ofstream> html_;
  std::unique_ptr<std::ofstream> json_;
  std::unique_ptr<std::ofstream> csv_;
  std::unique_ptr<std::ofstream> markdown_;
};

} // namespace pod::arena
