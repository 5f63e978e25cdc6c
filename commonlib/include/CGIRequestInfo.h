// The request object of a CGI process: the body comes from standard input,
// the response goes to standard output (RFC 3875).
#pragma once

#include <cstdio>
#include <string>

#include "RequestInfo.h"

class CGIRequestInfo : public RequestInfo {
 public:
  CGIRequestInfo();
  ~CGIRequestInfo() override;

  int ReadPostInput(char* buf, int size) override;
  int SetupInputStream() override;
  FILE* SetupOutputStream() override;
  // Stops after contentLength bytes when that is above 0 (RFC 3875 section
  // 4.2: the server need not signal the end of the body).
  int GetFormDataChar() override;
  int CloseInputStream() override;
  int WriteBinary(const char* buf, int size) override;
  int Write(const char* text) override;
  int WriteHeader(const char* name, const char* value) override;
  int SetStatus(int code, const char* reason) override;
  int Flush() override;

  FILE* inputStream;  // standard input once SetupInputStream ran; not owned

 private:
  // Writes what is gathered to the output stream: -1 when it fails.
  int Drain();

  long long bytesRead_ = 0;  // through GetFormDataChar
  // A page is written in many small pieces: they are gathered here and go
  // to the output stream in large writes, at Flush and when the request
  // object is deleted.
  std::string pending_;
};
