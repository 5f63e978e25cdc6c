// The CGI binding of the request object (RFC 3875): the body is read from
// standard input, the response written to standard output.
#include "CGIRequestInfo.h"

#include <cstring>
#include <string>

namespace {

// The text without carriage returns and line feeds, so that a value cannot
// end a header early or start another one.
std::string HeaderText(const char* text) {
  std::string out;
  if (!text) return out;
  for (const char* p = text; *p; ++p) {
    if (*p != '\r' && *p != '\n') out += *p;
  }
  return out;
}

constexpr size_t kGatherLimit = 16 * 1024;

}  // namespace

CGIRequestInfo::CGIRequestInfo() : inputStream(nullptr) {}

CGIRequestInfo::~CGIRequestInfo() { Drain(); }

int CGIRequestInfo::ReadPostInput(char* buf, int size) {
  if (!buf || size <= 0) return 0;
  size_t got = fread(buf, 1, static_cast<size_t>(size), stdin);
  return got == static_cast<size_t>(size) ? size : 0;
}

int CGIRequestInfo::SetupInputStream() {
  inputStream = stdin;
  return 0;
}

FILE* CGIRequestInfo::SetupOutputStream() { return stdout; }

int CGIRequestInfo::GetFormDataChar() {
  if (!inputStream) return -1;
  // A missing or bad CONTENT_LENGTH (parsed as 0) means no body at all.
  if (contentLength <= 0 || bytesRead_ >= contentLength) return -1;
  int c = getc(inputStream);
  if (c == EOF) return -1;
  ++bytesRead_;
  return c;
}

int CGIRequestInfo::CloseInputStream() { return 0; }

int CGIRequestInfo::WriteBinary(const char* buf, int size) {
  if (!outputStream || size < 0 || (!buf && size > 0)) return -1;
  if (size == 0) return 0;
  pending_.append(buf, static_cast<size_t>(size));
  return pending_.size() >= kGatherLimit ? Drain() : 0;
}

int CGIRequestInfo::Drain() {
  if (pending_.empty()) return 0;
  int result = 0;
  if (outputStream == nullptr ||
      fwrite(pending_.data(), 1, pending_.size(), outputStream) != pending_.size()) {
    result = -1;
  }
  pending_.clear();
  return result;
}

int CGIRequestInfo::Write(const char* text) {
  if (!text) return 0;
  return WriteBinary(text, static_cast<int>(strlen(text)));
}

int CGIRequestInfo::WriteHeader(const char* name, const char* value) {
  if (!name || !*name) return Write("\n");
  std::string line = HeaderText(name);
  // A name made only of line breaks would end the header block.
  if (line.empty()) return -1;
  line += ": ";
  line += HeaderText(value);
  line += "\n";
  return WriteBinary(line.data(), static_cast<int>(line.size()));
}

int CGIRequestInfo::SetStatus(int code, const char* reason) {
  std::string line = "Status: " + std::to_string(code);
  if (reason) {
    line += " ";
    line += HeaderText(reason);
  }
  line += "\n";
  WriteBinary(line.data(), static_cast<int>(line.size()));
  return 0;
}

int CGIRequestInfo::Flush() {
  Drain();
  if (outputStream) fflush(outputStream);
  return 0;
}
