// Helpers shared by the test folders: temporary directory trees, whole-file
// reads and writes, child processes, caught errors and list contents.
#pragma once

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "utillib.h"

namespace testsupport {

using Strings = std::vector<std::string>;

// A fresh directory <prefix>XXXXXX (its canonical path) with folders below
// it; it is removed with everything in it by Remove or the destructor.
class TempTree {
 public:
  TempTree() = default;
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;
  ~TempTree() { Remove(); }

  // False when the directory could not be made.
  bool Make(const std::string& prefix, std::initializer_list<const char*> dirs = {}) {
    Remove();
    std::string tmpl = prefix + "XXXXXX";
    if (mkdtemp(&tmpl[0]) == nullptr) return false;
    top_ = std::filesystem::canonical(tmpl).string();
    for (const char* dir : dirs) std::filesystem::create_directories(top_ + "/" + dir);
    return true;
  }
  void Remove() {
    if (top_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(top_, ignored);
    top_.clear();
  }
  const std::string& top() const { return top_; }
  std::string Path(const std::string& name) const { return top_ + "/" + name; }

 private:
  std::string top_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Replaces the file's contents, making its folder first when needed.
inline void WriteAll(const std::string& path, const std::string& text) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// Runs body in a child process; the result is its exit status (98 when a
// KvError escaped), or 128 + signal when it was killed.
inline int InChild(const std::function<int()>& body) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    int rc = 99;
    try {
      rc = body();
    } catch (KvError* e) {
      std::unique_ptr<KvError> owned(e);
      rc = 98;
    }
    _exit(rc);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

// True when body throws a KvError* (which is deleted).
inline bool Throws(const std::function<void()>& body) {
  try {
    body();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    return true;
  }
  return false;
}

// Owns a caught error and gives its trace lines, each ended by a line break.
inline std::string Lines(KvError* e) {
  std::unique_ptr<KvError> owned(e);
  std::string text;
  for (ValListItem* it = e->GetLines()->GetFirst(); it; it = it->next)
    text += std::string(it->value ? it->value : "") + "\n";
  return text;
}

// The texts of a list (null items as "(null)"); deletes the list.
inline Strings Texts(ValList* list) {
  std::unique_ptr<ValList> owned(list);
  Strings out;
  if (list == nullptr) return out;
  for (ValListItem* item = list->GetFirst(); item; item = item->next) {
    out.push_back(item->value ? item->value : "(null)");
  }
  return out;
}

// A new list of the texts; the caller deletes it.
inline ValList* ListOf(const Strings& values) {
  ValList* list = new ValList();
  for (const std::string& v : values) list->Append(v.c_str());
  return list;
}

// A heap text given out by the code under test, freed; "(null)" for none.
inline std::string TakeText(char* text) {
  std::unique_ptr<char, decltype(&free)> owned(text, &free);
  return text ? text : "(null)";
}

// An entry point of a plug-in loaded with dlopen as the console loads it
// (one copy per library); aborts when either is missing.
template <typename Fn>
Fn PluginFn(const char* library, const char* name) {
  void* handle = dlopen(library, RTLD_LAZY);
  void* fn = handle ? dlsym(handle, name) : nullptr;
  if (fn == nullptr) {
    fprintf(stderr, "%s: %s missing (%s)\n", library, name, dlerror());
    abort();
  }
  return reinterpret_cast<Fn>(fn);
}

// How often needle occurs in haystack, without overlaps.
inline int CountOf(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t p = haystack.find(needle); p != std::string::npos;
       p = haystack.find(needle, p + needle.size())) {
    n++;
  }
  return n;
}

}  // namespace testsupport
