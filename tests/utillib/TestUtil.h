// Small helpers shared by the utillib tests: scratch directories and files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "utillib.h"

// A fresh directory under the build tree, removed with its files at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::string templ = std::string(TEST_BINARY_DIR) + "/utillib-scratch-XXXXXX";
    path_ = mkdtemp(&templ[0]) ? templ : std::string();
  }
  ~ScratchDir() {
    if (!path_.empty()) {
      std::string cmd = "rm -rf '" + path_ + "'";
      if (system(cmd.c_str()) != 0) perror("rm");
    }
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Owns a malloc'd C string from the library.
using CText = std::unique_ptr<char, decltype(&free)>;
inline CText Own(char* p) { return CText(p, &free); }
inline std::string Str(const char* p) { return p ? p : "<null>"; }
