// The request object of a CGI process: the body comes from standard input,
// the response goes to standard output (RFC 3875).
#pragma once

#include <cstdio>

#include "RequestInfo.h"

class CGIRequestInfo : public RequestInfo {
 public:
  CGIRequestInfo();
  ~CGIRequestInfo() override;

  int ReadPostInput(char* buf, int size) override;
  int SetupInputStream() override;
  FILE* SetupOutputStream() override;
  int GetFormDataChar() override;
  int CloseInputStream() override;
  int WriteBinary(const char* buf, int size) override;
  int Write(const char* text) override;
  int WriteHeader(const char* name, const char* value) override;
  int SetStatus(int code, const char* reason) override;
  int Flush() override;

  FILE* inputStream;  // standard input once SetupInputStream ran; not owned
};
