// Reading the CGI environment and the last-resort error page.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "CGIMain.h"

namespace {

constexpr char kSupportAddress[] = "https://support.velmora.example/";

}  // namespace

void GetEnvironmentVar(char** out, const char* name) {
  const char* value = name ? getenv(name) : nullptr;
  *out = strdup(value ? value : "");
}

int KvParseContentLength(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p < '0' || *p > '9') return 0;  // empty, signed or not a number
  long long length = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    // Anything past INT_MAX is too large for any body anyway.
    if (length <= INT_MAX) length = length * 10 + (*p - '0');
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p) return 0;
  return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

void exitFunc(RequestInfo* req, const char* message) {
  static const char* const kHead[] = {
      "Content-type: text/html; charset=utf-8\n\n",
      "<html>\n",
      "<body bgcolor=\"#ffffff\">\n",
      "<h1>Error !</h1>\n",
      "<h3>An error has occurred in the product.\tPlease contact</h3>\n",
      "<h3>Kavri technical support directly or send feedback through</h3>\n",
  };
  for (const char* line : kHead) req->Write(line);
  req->Write("<h3><a href=\"");
  req->Write(kSupportAddress);
  req->Write("\">");
  req->Write(kSupportAddress);
  req->Write("</a></h3>\n");
  req->Write(
      "<h3>If possible, please include the version number of the software "
      "and the error message in your feedback.</h3>\n");
  req->Write("<h3>Error message:");
  req->Write(message ? message : "");
  req->Write("</h3>\n");
  req->Write("</body>\n");
  req->Write("</html>\n");
}
