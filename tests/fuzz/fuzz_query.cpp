// The request layer's text parsers: query strings and URL-encoded bodies,
// cookie headers and header parameters, MIME header lines, and the value
// lists stored in (striped) cookies. The first byte picks the parser; with
// 5, the rest is cut at 0xff into values that are percent-encoded as a form
// and a cookie header, and must come back from each parser unchanged.
#include <vector>

#include "FuzzSupport.h"

namespace {

std::string Encode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    out += isalnum(c) ? std::string(1, c) : std::string{'%', kHex[c >> 4], kHex[c & 15]};
  }
  return out;
}

void RoundTrip(const std::string& text) {
  const std::vector<std::string> values = fuzz::Split(text, "\xff");
  std::string form, cookie;
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i].find('\0') != std::string::npos) return;
    std::string pair = "n" + std::to_string(i) + "=" + Encode(values[i]);
    form += (i ? "&" : "") + pair;
    cookie += (i ? "; " : "") + pair;
  }
  for (ValNameList* parsed : {RequestInfo::ParseGETString(form.data(), form.size()),
                              RequestInfo::ParsePOSTString(form.data(), form.size()),
                              RequestInfo::ParseNameValString(cookie.c_str(), true)}) {
    std::unique_ptr<ValNameList> list(parsed);
    FUZZ_CHECK(list && list->count == static_cast<int>(values.size()));
    ValNameListItem* item = list->first;
    for (size_t i = 0; i < values.size(); ++i, item = item->next) {
      FUZZ_CHECK(item->name && item->name == "n" + std::to_string(i));
      FUZZ_CHECK(item->value && item->value == values[i]);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int length = static_cast<int>(text.size());
  std::unique_ptr<ValNameList> list;
  switch (data[0] % 6) {
    case 0:
    case 1:
      list.reset((data[0] % 6 ? RequestInfo::ParsePOSTString : RequestInfo::ParseGETString)(text.data(), length));
      FUZZ_CHECK(list != nullptr);
      break;
    case 2:
      list.reset(RequestInfo::ParseNameValString(text.c_str(), data[0] & 0x80));
      break;
    case 3:
      list.reset(RequestInfo::ParseHTTPHeader(text.c_str()));
      break;
    case 4: {
      // A cookie header, then the lists a page stores in cookies.
      fuzz::Request request("");
      request.cookies = RequestInfo::ParseNameValString(text.c_str(), true);
      for (const char* name : {"list", "a", ""}) {
        std::unique_ptr<ValList> values(request.FindFormattedCookie(name));
        FUZZ_CHECK(values != nullptr);
        for (ValListItem* it = values->first; it; it = it->next) {
          FUZZ_CHECK(it->value && *it->value && !strchr(it->value, ':'));
        }
      }
      ValList plain;
      const char* end = ParseFormattedCookie(text.c_str(), &plain);
      FUZZ_CHECK(end == text.c_str() + strlen(text.c_str()));
      fuzz::Touch(request.cookies);
      return 0;
    }
    case 5:
      RoundTrip(text);
      return 0;
  }
  fuzz::Touch(list.get());
  return 0;
}
