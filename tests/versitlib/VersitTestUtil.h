// Helpers shared by the versitlib tests: temporary files, the user lines of a
// caught KvError, and the items of an index file.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "versitlib.h"

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

std::string DataPath(const std::string& name);

// The user lines of the KvError thrown by action, outermost first, and its
// kind; fails the test when nothing is thrown.
std::vector<std::string> UserLinesOf(const std::function<void()>& action, int* kind = nullptr);

// A heap string from the library as a std::string; frees it.
std::string Take(char* text);

// The name/value items of an index file, in order.
std::vector<std::pair<std::string, std::string>> ReadIndex(const std::string& path);
