// A request object whose output goes into a string, for comparing what the
// toolkit writes byte for byte; it also counts flushes and binary pieces.
#pragma once

#include <string>
#include <vector>

#include "kavrilib.h"

class CaptureRequest : public RequestInfo {
 public:
  int ReadPostInput(char*, int) override { return 0; }
  int GetFormDataChar() override { return -1; }
  int WriteBinary(const char* buf, int size) override {
    out.append(buf, static_cast<size_t>(size));
    pieces.push_back(size);
    return 0;
  }
  int Write(const char* text) override {
    out += text;
    return 0;
  }
  int WriteHeader(const char* name, const char* value) override {
    if (!name || !*name) {
      out += "\n";
      return 0;
    }
    out += std::string(name) + ": " + (value ? value : "") + "\n";
    return 0;
  }
  int SetStatus(int code, const char* reason) override {
    out += "Status: " + std::to_string(code);
    if (reason) out += std::string(" ") + reason;
    out += "\n";
    return 0;
  }
  int Flush() override {
    flushes++;
    flushedAt.push_back(out.size());
    return 0;
  }

  std::string out;
  std::vector<int> pieces;           // sizes given to WriteBinary
  int flushes = 0;
  std::vector<size_t> flushedAt;     // output length at each flush
};

// The text an object (with its siblings) writes, without line breaks.
inline std::string EmitFlat(HTMLObject* object, const char* styleName = nullptr) {
  CaptureRequest req;
  object->emit(&req, 0, 0, styleName);
  return req.out;
}

// Counts the occurrences of needle in haystack.
inline int CountOf(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t p = haystack.find(needle); p != std::string::npos;
       p = haystack.find(needle, p + needle.size())) {
    n++;
  }
  return n;
}
