// The request layer's text parsers: query strings and URL-encoded bodies,
// cookie headers and header parameters, MIME header lines, and the value
// lists stored in (striped) cookies. The first byte picks the parser.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int length = static_cast<int>(text.size());
  std::unique_ptr<ValNameList> list;
  switch (data[0] % 5) {
    case 0:
      list.reset(RequestInfo::ParseGETString(text.data(), length));
      FUZZ_CHECK(list != nullptr);
      break;
    case 1:
      list.reset(RequestInfo::ParsePOSTString(text.data(), length));
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
  }
  fuzz::Touch(list.get());
  return 0;
}
