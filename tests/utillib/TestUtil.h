// Small helpers shared by the utillib tests: scratch directories, list
// contents and the trace lines of caught errors.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "utillib.h"

using testsupport::ReadAll;
using testsupport::Strings;
using testsupport::WriteAll;
using Pairs = std::vector<std::pair<std::string, std::string>>;

// A fresh directory under the build tree, removed with its files at the end.
class ScratchDir {
 public:
  ScratchDir() { tree_.Make(std::string(TEST_BINARY_DIR) + "/utillib-scratch-"); }
  std::string File(const std::string& name) const { return tree_.Path(name); }
  const std::string& path() const { return tree_.top(); }

 private:
  testsupport::TempTree tree_;
};

// Owns a malloc'd C string from the library.
using CText = std::unique_ptr<char, decltype(&free)>;
inline CText Own(char* p) { return CText(p, &free); }
inline std::string Str(const char* p) { return p ? p : "<null>"; }

inline Strings Vals(const ValList& list) {
  Strings out;
  for (ValListItem* i = list.first; i; i = i->next) out.push_back(Str(i->value));
  return out;
}

inline Pairs Items(const ValNameList& list) {
  Pairs out;
  for (ValNameListItem* i = list.first; i; i = i->next) out.emplace_back(Str(i->name), Str(i->value));
  return out;
}

// The trace lines of the KvError body throws, newest first; none when
// nothing is thrown (which fails the test).
inline Strings ErrorLines(const std::function<void()>& body) {
  try {
    body();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    return Vals(*e->lines);
  }
  ADD_FAILURE() << "no error thrown";
  return {};
}

inline bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
inline bool Has(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}
