// A request of the console handled inside the test process: its parameters
// are set by the test and what it writes is kept in memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "velmoraadmin.h"

using Vars = std::vector<std::pair<std::string, std::string>>;

class MemoryRequest : public CGIRequestInfo {
 public:
  explicit MemoryRequest(const Vars& vars = {}) {
    stream_ = open_memstream(&buffer_, &size_);
    outputStream = stream_;
    cookies = new ValNameList;
    Set(vars);
  }
  ~MemoryRequest() override {
    Flush();
    fclose(stream_);
    free(buffer_);
  }
  void Set(const Vars& vars) {
    for (const auto& [name, value] : vars) AddParam(name.c_str(), value.c_str());
  }
  std::string Output() {
    Flush();
    return std::string(buffer_, size_);
  }
  // Writes the page (if any) and returns everything written so far.
  std::string Emit(Page* page) {
    std::unique_ptr<Page> owned(page);
    if (owned) owned->emit(this, 0, 1, "style0");
    return Output();
  }

 private:
  char* buffer_ = nullptr;
  size_t size_ = 0;
  FILE* stream_;
};
