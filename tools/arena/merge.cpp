#include "merge.h"

#include "badinput.h"
#include "cliparse.h"
#include "htmltext.h"
#include "output.h"
#include "shard.h"

#include "race/smallfile.h"

#include <CLI/CLI.hpp>
#include <qutils/text.h>

#include <new>

namespace pod::arena {

namespace {

nlohmann::json readPart(const std::string& path) {
  std::string text;
  std::string error;
  if (!readSmallFile(path, kMaxPartBytes, text, error))
    throw BadInput{error};
  try {
    return readPartialSummary(text);
  } catch (const nlohmann::json::exception& e) {
    throw BadInput{"'" + path + "' is not JSON: " + oneLine(e.what())};
  } catch (const BadInput& bad) {
    throw BadInput{"'" + path + "' is " + bad.message};
  }
}

} // namespace

int runMerge(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  OutputPaths paths;
  std::vector<std::string> files;
  CLI::App app{"Puts the slices of a run (--shard I/N --json FILE) back together and reports "
               "as one run of the whole schedule would.",
               "vuzuder-arena merge"};
  app.add_option("--json", paths.json, "Write the merged summary as JSON")->type_name("FILE");
  app.add_option("--csv", paths.csv, "Write a league's matrix and ratings as CSV")
      ->type_name("FILE");
  app.add_option("--markdown", paths.markdown, "Write a league's tables as Markdown")
      ->type_name("FILE");
  app.add_option("--html", paths.html, "Write the report as a self-contained web page")
      ->type_name("FILE");
  app.add_option("parts", files, "Partial summaries, one per slice")
      ->type_name("PART.json");

  if (const auto stop = parseArguments(app, "vuzuder-arena merge", args, out, err))
    return *stop;

  if (files.empty()) {
    err << "vuzuder-arena merge: name the partial summaries to merge (PART.json...)\n";
    return 2;
  }
  try {
    std::vector<std::pair<std::string, nlohmann::json>> parts;
    for (const auto& f : files)
      parts.emplace_back(f, readPart(f));
    const MergedRun run = mergeParts(parts);
    OutputFiles outputs(paths, run.league);
    std::vector<std::string> words = {"merge"};
    words.insert(words.end(), args.begin(), args.end());
    outputs.setHtmlExtras({shellCommand("vuzuder-arena", words), {}});
    outputs.write(out, run.report());
    return 0;
  } catch (const BadInput& bad) {
    err << "vuzuder-arena merge: " << qutils::escapedText(bad.message) << '\n';
    return 2;
  } catch (const std::bad_alloc&) {
    err << "vuzuder-arena merge: out of memory reading the parts\n";
    return 2;
  }
}

} // namespace pod::arena
