#pragma once

#include <qutils/assert.h>

#include <set>
#include <string>

// Records failed assertions instead of stopping, while it lives, so that a
// test can check that a precondition fired.
class AssertRecorder {
public:
  AssertRecorder() : previous_(qutils::getAssertHandler()) {
    conditions().clear();
    qutils::setAssertHandler(&record);
  }
  ~AssertRecorder() { qutils::setAssertHandler(previous_); }
  bool fired(const std::string& condition) const {
    return conditions().count(condition) > 0;
  }

private:
  static std::set<std::string>& conditions() {
    static std::set<std::string> set;
    return set;
  }
  static int record(const char* condition, const char*, const char*, int) {
    conditions().insert(condition ? condition : "");
    return 1;
  }
  qutils::AssertHandler previous_;
};
