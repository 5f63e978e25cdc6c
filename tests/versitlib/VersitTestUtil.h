// Helpers shared by the versitlib tests: temporary files and the texts of a
// caught KvError.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "versitlib.h"

// A fresh directory under TEST_BINARY_DIR, removed with its files at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return dir + "/" + name; }
  // Writes text to name in this directory and returns the full path.
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::string dir;
};

std::string ReadWholeFile(const std::string& path);
std::string DataPath(const std::string& name);

// The user lines of the error thrown by action, outermost first; fails the
// test when nothing or something else is thrown. Also returns the kind.
std::vector<std::string> UserLinesOf(const std::function<void()>& action, int* kind = nullptr);
// The trace lines' messages (the text after the last " : ") likewise.
std::vector<std::string> TraceMessagesOf(const std::function<void()>& action);

// A heap string from the library, freed at the end of the statement.
std::string Take(char* text);

// The name/value items of an index file, in order.
std::vector<std::pair<std::string, std::string>> ReadIndex(const std::string& path);
