// An in-memory request object for unit tests: the body comes from a string,
// the output is collected in a string.
#pragma once

#include <cstring>
#include <string>

#include "commonlib.h"

class FakeRequest : public RequestInfo {
 public:
  explicit FakeRequest(std::string body = "") : body_(std::move(body)) {}

  int ReadPostInput(char* buf, int size) override {
    if (size < 0 || static_cast<size_t>(size) > body_.size() - pos_) return 0;
    memcpy(buf, body_.data() + pos_, size);
    pos_ += size;
    return size;
  }
  int SetupInputStream() override { return setupResult; }
  int GetFormDataChar() override {
    if (pos_ >= body_.size()) return -1;
    return static_cast<unsigned char>(body_[pos_++]);
  }
  int CloseInputStream() override {
    ++closeCalls;
    return 0;
  }
  int WriteBinary(const char* buf, int size) override {
    output.append(buf, size);
    return 0;
  }
  int Write(const char* text) override {
    return WriteBinary(text, static_cast<int>(strlen(text)));
  }
  int WriteHeader(const char* name, const char* value) override {
    output += std::string(name) + ": " + value + "\n";
    return 0;
  }
  int SetStatus(int, const char*) override { return 0; }
  int Flush() override { return 0; }

  size_t consumed() const { return pos_; }

  std::string output;
  int setupResult = 0;
  int closeCalls = 0;

 private:
  std::string body_;
  size_t pos_ = 0;
};
