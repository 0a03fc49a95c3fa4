#pragma once

#include <qutils/assert.h>

#include <algorithm>
#include <string>
#include <vector>

// Records failed assertions instead of stopping, for the lifetime of the
// object, so that a test can check that a precondition fired.
class AssertRecorder {
public:
  AssertRecorder() : previous_(qutils::getAssertHandler()) {
    failures().clear();
    qutils::setAssertHandler(&record);
  }
  ~AssertRecorder() { qutils::setAssertHandler(previous_); }

  bool fired(const std::string& condition) const {
    const auto& f = failures();
    return std::find(f.begin(), f.end(), condition) != f.end();
  }
  std::size_t count() const { return failures().size(); }

private:
  static std::vector<std::string>& failures() {
    static std::vector<std::string> list;
    return list;
  }
  static int record(const char* condition, const char*, const char*, int) {
    failures().push_back(condition ? condition : "");
    return 1;
  }

  qutils::AssertHandler previous_;
};
