// ModuleMain of the test program: prints, as plain text, what the request
// layer parsed. Knobs from the environment: ECHO_RETURN (the result),
// ECHO_THROW (throw a KvError), ECHO_ADOPT (adopt that variable's upload),
// ECHO_MAX_REQUEST_SIZE (the body limit).
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "commonlib.h"

long long KvMaxRequestSize() {
  const char* text = getenv("ECHO_MAX_REQUEST_SIZE");
  return text ? atoll(text) : 64LL * 1024 * 1024;
}

namespace {

// Printable ASCII as it is (or every byte in hexadecimal), others as %XX.
std::string Text(const std::string& text, bool hex = false) {
  std::string out;
  char buf[4];
  for (unsigned char c : text) {
    snprintf(buf, sizeof buf, hex ? "%02X" : (c < 32 || c > 126) ? "%%%02X" : "%c", c);
    out += buf;
  }
  return out;
}

std::string Text(const char* text) { return text ? Text(std::string(text)) : "(null)"; }

}  // namespace

int ModuleMain(RequestInfo* req) {
  if (getenv("ECHO_THROW")) KV_THROW("thrown by the test module");
  if (const char* adopt = getenv("ECHO_ADOPT")) req->AdoptUpload(adopt);
  char line[256];
  snprintf(line, sizeof line, "length=%d\nbrowser=%d %.2f capable=%d system=%d\n", req->contentLength,
           req->browserType, req->browserVersion, req->capableBrowser, req->systemType);
  std::string out = "Content-type: text/plain\n\n" + std::string(line) +
                    "env=" + Text(req->requestMethod) + "|" + Text(req->queryString) + "|" +
                    Text(req->scriptName) + "|" + Text(req->remoteUser) + "|" +
                    Text(req->serverName) + "|" + Text(req->serverPort) + "\n";
  for (ValNameListItem* it = req->params->first; it; it = it->next) {
    out += "param " + Text(it->name) + "=" + Text(it->value);
    if (it->extra1) {
      struct stat st;
      std::ifstream in(it->extra1, std::ios::binary);
      std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      snprintf(line, sizeof line, " mode=%o bytes=",
               stat(it->extra1, &st) == 0 ? st.st_mode & 07777 : 0);
      // A file in TMPDIR shows as "$TMPDIR", for output that does not change.
      std::string path = it->extra1, tmp = std::string(getenv("TMPDIR") ? getenv("TMPDIR") : "") + "/";
      if (path.rfind(tmp, 0) == 0 && path.find('/', tmp.size()) == std::string::npos) path = "$TMPDIR";
      out += " file=" + path + line + Text(data, true);
    }
    out += "\n";
  }
  req->Write(out.c_str());
  return getenv("ECHO_RETURN") ? atoi(getenv("ECHO_RETURN")) : 0;
}
