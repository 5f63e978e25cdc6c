// Test support: an in-memory request object (body from a string, output to
// a string) and small helpers to look at lists and files.
#pragma once

#include <cstring>
#include <utility>

#include "TestSupport.h"
#include "commonlib.h"

class FakeRequest : public RequestInfo {
 public:
  explicit FakeRequest(std::string body = "") : body_(std::move(body)) {}
  int ReadPostInput(char*, int) override { return 0; }
  int SetupInputStream() override { return 0; }
  int GetFormDataChar() override {
    return pos_ < body_.size() ? static_cast<unsigned char>(body_[pos_++]) : -1;
  }
  int CloseInputStream() override { return ++closeCalls, 0; }
  int WriteBinary(const char*, int) override { return 0; }
  int Write(const char*) override { return 0; }
  int WriteHeader(const char*, const char*) override { return 0; }
  int SetStatus(int, const char*) override { return 0; }
  int Flush() override { return 0; }

  size_t consumed() const { return pos_; }
  int closeCalls = 0;

 private:
  std::string body_;
  size_t pos_ = 0;
};

// Fields, files and the end of a multipart body with the boundary "----XyZ".
const std::string kEnd = "------XyZ--\r\n";
inline std::string Field(const std::string& name, const std::string& value) {
  return "------XyZ\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}
inline std::string File(const std::string& name, const std::string& client, const std::string& data) {
  return "------XyZ\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"" + client +
         "\"\r\nContent-Type: text/plain\r\n\r\n" + data + "\r\n";
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

inline Pairs ToPairs(const ValNameList* list) {
  Pairs out;
  for (ValNameListItem* it = list ? list->first : nullptr; it; it = it->next) {
    out.emplace_back(it->name ? it->name : "(null)", it->value ? it->value : "(null)");
  }
  return out;
}

using testsupport::ReadAll;

// The names in dir (none when it cannot be read).
inline std::vector<std::string> DirFiles(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ignored)) {
    names.push_back(entry.path().filename());
  }
  return names;
}
