// A request object for tests: everything written goes into one string, with
// header lines written as the CGI request object writes them but without any
// filtering, so that a broken header line shows. It also counts flushes and
// binary pieces.
#pragma once

#include <string>
#include <vector>

#include "commonlib.h"
#include "htmllib.h"

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
    if (text) out += text;
    return 0;
  }
  int WriteHeader(const char* name, const char* value) override {
    if (!name || !*name) return Write("\n");
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

  // The values of every output line "name: value", in order.
  std::vector<std::string> Headers(const std::string& name) const {
    std::vector<std::string> found;
    const std::string prefix = name + ": ";
    size_t start = 0;
    while (start < out.size()) {
      size_t end = out.find('\n', start);
      if (end == std::string::npos) end = out.size();
      std::string line = out.substr(start, end - start);
      if (line.compare(0, prefix.size(), prefix) == 0)
        found.push_back(line.substr(prefix.size()));
      start = end + 1;
    }
    return found;
  }

  std::string out;
  std::vector<int> pieces;        // sizes given to WriteBinary
  int flushes = 0;
  std::vector<size_t> flushedAt;  // output length at each flush
};

// The text an object (with its siblings) writes.
inline std::string Emit(HTMLObject* object, int indent = 0, int lineBreaks = 1,
                        const char* styleName = nullptr) {
  CaptureRequest req;
  object->emit(&req, indent, lineBreaks, styleName);
  return req.out;
}

// The same without line breaks.
inline std::string EmitFlat(HTMLObject* object, const char* styleName = nullptr) {
  return Emit(object, 0, 0, styleName);
}
