// The request object's construction, classification of browser and server,
// access to form variables and cookies, and the bookkeeping of upload files.
#include "RequestInfo.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr long long kDefaultMaxRequestSize = 64LL * 1024 * 1024;
constexpr char kStripePrefix[] = "KavriStriped-";

}  // namespace

__attribute__((weak)) long long KvMaxRequestSize() {
  return kDefaultMaxRequestSize;
}

RequestInfo::RequestInfo()
    : pendingCR(0),
      queryString(nullptr),
      scriptName(nullptr),
      requestMethod(nullptr),
      outputStream(nullptr),
      contentLength(0),
      capableBrowser(0),
      serverName(nullptr),
      serverPort(nullptr),
      browserType(kBrowserUnknown),
      systemType(0),
      browserVersion(0.0),
      serverType(kServerUnknown),
      serverVersion(0.0),
      remoteUser(nullptr),
      params(new ValNameList),
      cookies(nullptr) {}

RequestInfo::~RequestInfo() {
  RemoveUploads();
  free(queryString);
  free(scriptName);
  free(remoteUser);
  free(requestMethod);
  delete params;
  delete cookies;
  free(serverName);
  free(serverPort);
}

int RequestInfo::SetupInputStream() { return 0; }

FILE* RequestInfo::SetupOutputStream() { return nullptr; }

int RequestInfo::CloseInputStream() { return 0; }

int RequestInfo::GetMaxUrlLength() const {
  return browserType == kBrowserMozilla ? 4096 : 1024;
}

int RequestInfo::GetMaxCookieLength() const {
  return browserType == kBrowserMozilla ? 4096 : 1024;
}

void RequestInfo::SetBrowserType(const char* userAgent) {
  if (const char* p = StringSubstring("MSIE", userAgent)) {
    browserType = kBrowserMSIE;
    browserVersion = atof(p + strlen("MSIE"));
    if (browserVersion >= 3.02) capableBrowser = 1;
  } else if (const char* q = StringSubstring("Mozilla/", userAgent)) {
    browserType = kBrowserMozilla;
    // The integer part only; strtol instead of atoi so that a long run of
    // digits cannot overflow.
    long major = strtol(q + strlen("Mozilla/"), nullptr, 10);
    browserVersion = static_cast<double>(std::clamp(major, 0L, 1000000L));
    if (browserVersion >= 3.0) capableBrowser = 1;
  } else {
    browserType = kBrowserUnknown;
  }
}

void RequestInfo::SetSystemType(const char* userAgent) {
  systemType = StringSubstring("Macintosh", userAgent) ? 1 : 0;
}

void RequestInfo::SetServerInfo(const char* serverSoftware) {
  if (StringSubstring("Microsoft", serverSoftware)) {
    serverType = kServerMicrosoft;
  } else if (StringSubstring("Drovak", serverSoftware)) {
    serverType = kServerDrovak;
  } else {
    serverType = kServerUnknown;
  }
  if (serverSoftware) {
    if (const char* slash = strchr(serverSoftware, '/')) {
      serverVersion = atof(slash + 1);
    }
  }
}

const char* RequestInfo::FindVar(const char* name) const {
  ValNameListItem* item = params->Lookup(name);
  return item ? item->value : nullptr;
}

char* RequestInfo::FindVarCopy(const char* name) const {
  const char* value = FindVar(name);
  return value ? strdup(value) : nullptr;
}

const char* RequestInfo::FindVar2(const char* name) const {
  ValNameListItem* item = params->Lookup(name);
  return item ? item->extra1 : nullptr;
}

void RequestInfo::ReplaceVal(const char* name, const char* value) {
  params->Replace(name, value);
}

void RequestInfo::AddParam(const char* name, const char* value) {
  params->Append(name, value);
}

void RequestInfo::AddParams(const ValNameList* list) {
  if (!list) return;
  // Counted, so that adding the parameter list to itself ends.
  int n = list->count;
  for (ValNameListItem* it = list->first; it && n > 0; it = it->next, --n) {
    params->Append(it->name, it->value, it->extra1, it->extra2, it->extra3);
  }
}

ValList* RequestInfo::GetValList(const char* name) const {
  auto result = std::make_unique<ValList>();
  if (name) {
    for (ValNameListItem* it = params->first; it; it = it->next) {
      if (it->name && strcasecmp(it->name, name) == 0) result->Append(it->value);
    }
  }
  return result.release();
}

ValNameList* RequestInfo::GetValListPrefix(const char* prefix) const {
  auto result = std::make_unique<ValNameList>();
  if (prefix) {
    size_t n = strlen(prefix);
    for (ValNameListItem* it = params->first; it; it = it->next) {
      if (it->name && strncasecmp(it->name, prefix, n) == 0) {
        result->Append(it->name, it->value);
      }
    }
  }
  return result.release();
}

const char* RequestInfo::FindCookie(const char* name) const {
  if (!cookies) return nullptr;
  ValNameListItem* item = cookies->Lookup(name);
  return item ? item->value : nullptr;
}

ValList* RequestInfo::FindFormattedCookie(const char* name) const {
  auto list = std::make_unique<ValList>();
  const char* value = FindCookie(name);
  if (!value) return list.release();
  const size_t prefixLength = strlen(kStripePrefix);
  if (strncasecmp(value, kStripePrefix, prefixLength) != 0) {
    ParseFormattedCookie(value, list.get());
    return list.release();
  }
  // The stripe count; a missing stripe ends the list, so a huge count costs
  // nothing more than the stripes actually present.
  long stripes = 0;
  for (const char* p = value + prefixLength; *p >= '0' && *p <= '9'; ++p) {
    stripes = std::min(stripes * 10 + (*p - '0'), 1000000L);
  }
  for (long i = 0; i < stripes; ++i) {
    std::string stripeName =
        kStripePrefix + std::to_string(i) + "-" + (name ? name : "");
    const char* stripe = FindCookie(stripeName.c_str());
    if (!stripe) break;
    ParseFormattedCookie(stripe, list.get());
  }
  return list.release();
}

const char* ParseFormattedCookie(const char* text, ValList* list) {
  if (!text) return text;
  const char* p = text;
  while (*p) {
    const char* colon = strchr(p, ':');
    size_t n = colon ? static_cast<size_t>(colon - p) : strlen(p);
    if (n > 0 && list) list->AppendWithDupCheck(std::string(p, n).c_str());
    p += n;
    if (*p == ':') ++p;
  }
  return p;
}

ValNameList* RequestInfo::ParseGetInput() {
  int length = queryString ? contentLength : 0;
  if (queryString) length = std::min<long long>(length, strlen(queryString));
  return ParseGETString(queryString, length);
}

ValNameList* RequestInfo::ParsePostInput() {
  if (contentLength <= 0) return new ValNameList;
  if (contentLength > MaxBodySize()) {
    SetBodyTooLarge();
    return new ValNameList;
  }
  std::unique_ptr<char, decltype(&free)> buf(
      static_cast<char*>(calloc(static_cast<size_t>(contentLength) + 1, 1)),
      &free);
  if (!buf) return new ValNameList;
  if (ReadPostInput(buf.get(), contentLength) != contentLength) {
    return new ValNameList;
  }
  return ParsePOSTString(buf.get(), contentLength);
}

long long RequestInfo::MaxBodySize() {
  if (bodyLimit_ <= 0) {
    bodyLimit_ = KvMaxRequestSize();
    if (bodyLimit_ <= 0) bodyLimit_ = kDefaultMaxRequestSize;
  }
  return bodyLimit_;
}

bool RequestInfo::CountBodyByte() {
  if (bodyTooLarge_) return false;
  if (++bodyBytes_ > MaxBodySize()) {
    SetBodyTooLarge();
    return false;
  }
  return true;
}

void RequestInfo::SetBodyTooLarge() { bodyTooLarge_ = true; }

void RequestInfo::KeepUpload(const char* path) {
  if (path) uploads_.emplace_back(path);
}

const char* RequestInfo::AdoptUpload(const char* varName) {
  const char* path = FindVar2(varName);
  if (path) {
    uploads_.erase(std::remove(uploads_.begin(), uploads_.end(), path),
                   uploads_.end());
  }
  return path;
}

void RequestInfo::RemoveUploads() {
  for (const std::string& path : uploads_) unlink(path.c_str());
  uploads_.clear();
}
