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

#include "commonlib.h"
#include "utillib.h"

namespace fuzz {

struct FileCloser {
  void operator()(FILE* fp) const { fclose(fp); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// A read-only stream over size bytes (seekable; the bytes are copied and
// live as long as the stream).
class Input {
 public:
  Input(const void* data, size_t size)
      : bytes_(static_cast<const char*>(data), size),
        fp_(size > 0 ? fmemopen(&bytes_[0], size, "r") : tmpfile()) {
    if (!fp_) abort();
  }
  FILE* get() const { return fp_.get(); }

 private:
  std::string bytes_;
  FilePtr fp_;
};

// A stream that writes into memory; Text() closes it and returns what was
// written.
class Output {
 public:
  Output() : fp_(open_memstream(&buf_, &len_)) {
    if (!fp_) abort();
  }
  ~Output() {
    fp_.reset();
    free(buf_);
  }
  FILE* get() const { return fp_.get(); }
  std::string Text() {
    fp_.reset();
    return std::string(buf_ ? buf_ : "", len_);
  }

 private:
  char* buf_ = nullptr;
  size_t len_ = 0;
  FilePtr fp_;
};

inline std::string ReadStream(FILE* fp) {
  std::string text;
  rewind(fp);
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, fp)) > 0) text.append(buf, n);
  return text;
}

// Deletes the error a library call threw.
template <typename Body>
bool Catch(Body body) {
  try {
    body();
    return true;
  } catch (KvError* e) {
    delete e;
    return false;
  }
}

#define FUZZ_CHECK(cond)                                                  \
  do {                                                                    \
    if (!(cond)) {                                                        \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      abort();                                                            \
    }                                                                     \
  } while (0)

// A request whose body is a string, read a byte at a time, and whose output
// is dropped.
class Request : public RequestInfo {
 public:
  explicit Request(std::string body) : body_(std::move(body)) {}
  int ReadPostInput(char* buf, int size) override {
    if (size < 0 || static_cast<size_t>(size) > body_.size()) return 0;
    memcpy(buf, body_.data(), size);
    return size;
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
    for (const char* s : {it->name, it->value, it->extra1, it->extra2, it->extra3}) {
      if (s) total += strlen(s);
    }
  }
  return total;
}

}  // namespace fuzz
