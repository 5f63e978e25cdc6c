// Helpers shared by the fuzz harnesses: the input as a seekable stream, an
// in-memory request object, and a check that stops the run on a broken
// property (libFuzzer and the replay both count an abort as a finding).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "commonlib.h"
#include "utillib.h"

#define FUZZ_CHECK(cond)                                                       \
  do {                                                                         \
    if (!(cond)) {                                                             \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      abort();                                                                 \
    }                                                                          \
  } while (0)

namespace fuzz {

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

// A read-only seekable stream over a copy of size bytes.
class Input {
 public:
  Input(const void* data, size_t size)
      : bytes_(static_cast<const char*>(data), size),
        fp_(size > 0 ? fmemopen(&bytes_[0], size, "r") : tmpfile(), fclose) { FUZZ_CHECK(fp_); }
  FILE* get() const { return fp_.get(); }

 private:
  std::string bytes_;
  FilePtr fp_;
};

// A stream into memory; Text() closes it and returns what was written.
class Output {
 public:
  Output() : fp_(open_memstream(&buf_, &len_), fclose) { FUZZ_CHECK(fp_); }
  ~Output() { fp_.reset(), free(buf_); }
  FILE* get() const { return fp_.get(); }
  std::string Text() { return fp_.reset(), std::string(buf_ ? buf_ : "", len_); }

 private:
  char* buf_ = nullptr;
  size_t len_ = 0;
  FilePtr fp_;
};

// The pieces of text between the separators.
inline std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  size_t at = 0;
  for (size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + separator.size()) {
    pieces.push_back(text.substr(at, end - at));
  }
  pieces.push_back(text.substr(at));
  return pieces;
}

// Deletes the error a library call threw.
template <typename Body>
bool Catch(Body body) {
  try {
    body();
  } catch (KvError* e) {
    return delete e, false;
  }
  return true;
}

// A request whose body is a string, read a byte at a time, and whose output
// is dropped.
class Request : public RequestInfo {
 public:
  explicit Request(std::string body) : body_(std::move(body)) {}
  int ReadPostInput(char* buf, int size) override {
    return size < 0 || static_cast<size_t>(size) > body_.size() ? 0 : (memcpy(buf, body_.data(), size), size);
  }
  int GetFormDataChar() override {
    return pos_ < body_.size() ? static_cast<unsigned char>(body_[pos_++]) : -1;
  }
  int WriteBinary(const char*, int) override { return 0; }
  int Write(const char*) override { return 0; }
  int WriteHeader(const char*, const char*) override { return 0; }
  int SetStatus(int, const char*) override { return 0; }
  int Flush() override { return 0; }

 private:
  std::string body_;
  size_t pos_ = 0;
};

// Reads every string of a list, so that the sanitizers see a bad one.
inline size_t Touch(const ValNameList* list) {
  size_t total = 0;
  for (ValNameListItem* it = list ? list->first : nullptr; it; it = it->next) {
    for (const char* s : {it->name, it->value, it->extra1, it->extra2, it->extra3}) total += s ? strlen(s) : 0;
  }
  return total;
}

}  // namespace fuzz
