// The entry of the CGI program: builds the request object from the CGI
// environment (RFC 3875) and the request body, hands it to ModuleMain, and
// shows the fallback page when anything goes wrong before or after.
#include <strings.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "CGIMain.h"
#include "CGIRequestInfo.h"

namespace {

constexpr char kUrlEncoded[] = "application/x-www-form-urlencoded";
constexpr char kMultipart[] = "multipart/form-data";

bool HasPrefixNoCase(const char* text, const char* prefix) {
  return text && strncasecmp(text, prefix, strlen(prefix)) == 0;
}

// Shows the fallback page, ends the request (its upload files go with it)
// and the process.
[[noreturn]] void Fail(RequestInfo* req, const char* message) {
  exitFunc(req, message);
  req->Flush();
  delete req;
  exit(0);
}

char* ReadEnv(const char* name) {
  char* value = nullptr;
  GetEnvironmentVar(&value, name);
  return value;
}

void AddAndDelete(RequestInfo* req, ValNameList* list) {
  std::unique_ptr<ValNameList> owned(list);
  req->AddParams(owned.get());
}

}  // namespace

int main() {
  CGIRequestInfo* req = nullptr;
  try {
    req = new CGIRequestInfo;

    req->outputStream = req->SetupOutputStream();
    if (!req->outputStream) {
      req->outputStream = stdout;
      Fail(req, "Unable to setup Output stream");
    }

    req->queryString = ReadEnv("QUERY_STRING");
    req->scriptName = ReadEnv("SCRIPT_NAME");
    req->requestMethod = ReadEnv("REQUEST_METHOD");
    req->remoteUser = ReadEnv("REMOTE_USER");
    req->serverName = ReadEnv("SERVER_NAME");
    req->serverPort = ReadEnv("SERVER_PORT");

    std::unique_ptr<char, decltype(&free)> agent(ReadEnv("HTTP_USER_AGENT"),
                                                 &free);
    req->SetBrowserType(agent.get());
    req->SetSystemType(agent.get());
    agent.reset();

    std::unique_ptr<char, decltype(&free)> software(ReadEnv("SERVER_SOFTWARE"),
                                                    &free);
    req->SetServerInfo(software.get());
    software.reset();

    std::unique_ptr<char, decltype(&free)> cookie(ReadEnv("HTTP_COOKIE"),
                                                  &free);
    req->cookies = RequestInfo::ParseNameValString(cookie.get(), 1);
    cookie.reset();

    std::unique_ptr<char, decltype(&free)> length(ReadEnv("CONTENT_LENGTH"),
                                                  &free);
    req->contentLength = KvParseContentLength(length.get());
    length.reset();

    const int queryLength =
        static_cast<int>(strnlen(req->queryString, INT_MAX));
    if (strcasecmp(req->requestMethod, "get") == 0) {
      req->contentLength = queryLength;
      AddAndDelete(req, req->ParseGetInput());
    } else if (strcasecmp(req->requestMethod, "post") == 0) {
      const char* type = getenv("CONTENT_TYPE");
      ValNameList* body = nullptr;
      if (HasPrefixNoCase(type, kUrlEncoded)) {
        body = req->ParsePostInput();
      } else if (HasPrefixNoCase(type, kMultipart)) {
        body = req->ParseMultiPartForm(type);
      } else {
        Fail(req, "Bad CONTENT_TYPE on POST");
      }
      if (req->BodyTooLarge()) {
        delete body;
        Fail(req, "Request body too large");
      }
      AddAndDelete(req, body);
      AddAndDelete(req,
                   RequestInfo::ParseGETString(req->queryString, queryLength));
    } else {
      Fail(req, "Bad REQUEST_METHOD");
    }

    if (ModuleMain(req) != 0) {
      Fail(req, "Module Main returned non-zero status");
    }
    delete req;
    exit(0);
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    if (!req) exit(1);
    Fail(req, "Unable to run the program!");
  } catch (...) {
    if (!req) exit(1);
    Fail(req, "Unable to run the program!");
  }
}
