// Small helpers shared by the utillib tests: scratch directories and files.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "utillib.h"

using testsupport::ReadAll;
using testsupport::WriteAll;

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
