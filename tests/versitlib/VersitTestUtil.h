// Helpers shared by the versitlib tests: temporary files, cards, the user
// lines of a caught KvError, and the items of an index file.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "versitlib.h"

using Strings = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

// A fresh directory under TEST_BINARY_DIR, removed with its files at the end.
class TempDir {
 public:
  TempDir() { tree.Make(std::string(TEST_BINARY_DIR) + "/versitlib-"); }
  std::string Path(const std::string& name) const { return tree.Path(name); }
  // Writes text to name in this directory and returns the full path.
  std::string Write(const std::string& name, const std::string& text) const {
    testsupport::WriteAll(Path(name), text);
    return Path(name);
  }

 private:
  testsupport::TempTree tree;
};

inline std::string DataPath(const std::string& name) {
  return std::string(TEST_DATA_DIR) + "/versitlib/" + name;
}

inline std::string Card(const std::string& uid, const std::string& body = "") {
  return "BEGIN:vCard\nUID:" + uid + "\n" + body + "END:vCard\n";
}

// The user lines of the KvError thrown by action, outermost first, and its
// kind; fails the test when nothing is thrown.
inline Strings UserLinesOf(const std::function<void()>& action, int* kind = nullptr) {
  try {
    action();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    if (kind) *kind = e->GetKind();
    Strings lines;
    for (ValListItem* i = e->GetUserLines()->first; i != nullptr; i = i->next) lines.push_back(i->value);
    return lines;
  }
  ADD_FAILURE() << "no KvError thrown";
  return {};
}

inline std::string Take(char* text) { return testsupport::TakeText(text); }

// The name/value items of an index file, in order.
inline Pairs ReadIndex(const std::string& path) {
  ValNameList list;
  list.Read(path.c_str(), true);
  Pairs out;
  for (const ValNameListItem* i = list.first; i != nullptr; i = i->next)
    out.emplace_back(i->name, i->value ? i->value : "");
  return out;
}
