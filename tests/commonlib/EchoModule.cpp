// ModuleMain of the test program: writes back, as plain text, what the
// request layer parsed, so whole-process tests can compare it. Environment
// knobs: ECHO_RETURN (ModuleMain's result), ECHO_THROW (throw a KvError),
// ECHO_ADOPT (variable whose upload is adopted), ECHO_MAX_REQUEST_SIZE (the
// body limit, overriding the library's default).
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "commonlib.h"

long long KvMaxRequestSize() {
  const char* text = getenv("ECHO_MAX_REQUEST_SIZE");
  return text ? atoll(text) : 64LL * 1024 * 1024;
}

namespace {

// Printable ASCII as it is, everything else (and the backslash) as \xHH.
std::string Escape(const char* text) {
  if (!text) return "(null)";
  std::string out;
  char hex[8];
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
       *p; ++p) {
    if (*p >= 32 && *p < 127 && *p != '\\') {
      out += static_cast<char>(*p);
    } else {
      snprintf(hex, sizeof hex, "\\x%02X", *p);
      out += hex;
    }
  }
  return out;
}

std::string HexOfFile(const char* path) {
  std::string out;
  FILE* fp = fopen(path, "rb");
  if (!fp) return "(unreadable)";
  char hex[4];
  int c;
  while ((c = getc(fp)) != EOF) {
    snprintf(hex, sizeof hex, "%02X", c);
    out += hex;
  }
  fclose(fp);
  return out;
}

}  // namespace

int ModuleMain(RequestInfo* req) {
  if (getenv("ECHO_THROW")) KV_THROW("thrown by the test module");
  if (const char* adopt = getenv("ECHO_ADOPT")) req->AdoptUpload(adopt);

  std::string out = "Content-type: text/plain\n\n";
  char number[64];
  out += "method=" + Escape(req->requestMethod) + "\n";
  out += "query=" + Escape(req->queryString) + "\n";
  out += "script=" + Escape(req->scriptName) + "\n";
  out += "user=" + Escape(req->remoteUser) + "\n";
  out += "server=" + Escape(req->serverName) + ":" + Escape(req->serverPort) +
         "\n";
  snprintf(number, sizeof number, "%d", req->contentLength);
  out += std::string("length=") + number + "\n";
  snprintf(number, sizeof number, "%d %.2f capable=%d system=%d",
           req->browserType, req->browserVersion, req->capableBrowser,
           req->systemType);
  out += std::string("browser=") + number + "\n";
  snprintf(number, sizeof number, "%d %.2f", req->serverType,
           req->serverVersion);
  out += std::string("serverinfo=") + number + "\n";
  for (ValNameListItem* it = req->cookies ? req->cookies->first : nullptr; it;
       it = it->next) {
    out += "cookie " + Escape(it->name) + "=" + Escape(it->value) + "\n";
  }
  for (ValNameListItem* it = req->params->first; it; it = it->next) {
    out += "param " + Escape(it->name) + "=" + Escape(it->value);
    if (it->extra1) {
      struct stat st;
      int mode = stat(it->extra1, &st) == 0 ? (st.st_mode & 07777) : -1;
      snprintf(number, sizeof number, " mode=%o", mode);
      out += " file=" + std::string(it->extra1) + number +
             " bytes=" + HexOfFile(it->extra1);
    }
    out += "\n";
  }
  req->Write(out.c_str());
  const char* result = getenv("ECHO_RETURN");
  return result ? atoi(result) : 0;
}
