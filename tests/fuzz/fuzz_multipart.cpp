// Multipart form bodies. With the first byte even, the rest is a body as a
// client sent it (with bit 3 set, after a first line giving the content
// type). With it odd, the rest is cut into part contents (at
// "\xff\xff"; a leading "F" makes a file part) that the harness wraps into a
// well-formed body, so that the contents cross the reader's line buffer at
// every offset; the parsed fields and upload files must then hold exactly
// those contents.
#include <fstream>
#include <iterator>

#include "FuzzSupport.h"

namespace {

const char kBoundary[] = "----fuzzB0undaryX7q";
const char kContentType[] = "multipart/form-data; boundary=----fuzzB0undaryX7q";

struct Part {
  bool file;
  std::string content;
};

void RoundTrip(const std::string& text, bool msie) {
  std::vector<Part> parts;
  for (const std::string& piece : fuzz::Split(text, "\xff\xff")) {
    const bool file = !piece.empty() && piece[0] == 'F';
    parts.push_back(Part{file, piece.substr(file ? 1 : 0)});
  }
  std::string body = "preamble\r\n";
  for (size_t i = 0; i < parts.size(); ++i) {
    const Part& part = parts[i];
    // A client picks a boundary that is not in its data. Field values are C
    // strings; MSIE drops their line ends.
    if (part.content.find(kBoundary) != std::string::npos ||
        (!part.file && (part.content.find('\0') != std::string::npos ||
                        (msie && part.content.find("\r\n") != std::string::npos)))) {
      return;
    }
    const std::string n = std::to_string(i);
    body += std::string("--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"f" + n + "\"" +
            (part.file ? "; filename=\"C:\\dir\\n" + n + ".bin\"\r\nContent-Type: application/octet-stream\r\n"
                       : "\r\n") +
            "\r\n" + part.content + "\r\n";
  }
  body += std::string("--") + kBoundary + "--\r\nepilogue";

  fuzz::Request request(body);
  if (msie) request.browserType = RequestInfo::kBrowserMSIE, request.browserVersion = 5.0;
  std::unique_ptr<ValNameList> list(request.ParseMultiPartForm(kContentType));
  FUZZ_CHECK(list != nullptr);
  FUZZ_CHECK(list->count == static_cast<int>(parts.size()));
  ValNameListItem* item = list->first;
  for (size_t i = 0; i < parts.size(); ++i, item = item->next) {
    FUZZ_CHECK(item->name && item->name == "f" + std::to_string(i));
    if (parts[i].file) {
      FUZZ_CHECK(item->value && item->value == "n" + std::to_string(i) + ".bin");
      FUZZ_CHECK(item->extra1 != nullptr);
      std::ifstream saved(item->extra1, std::ios::binary);
      FUZZ_CHECK(saved && std::string(std::istreambuf_iterator<char>(saved), {}) == parts[i].content);
    } else {
      FUZZ_CHECK(item->value && item->value == parts[i].content);
      FUZZ_CHECK(item->extra1 == nullptr);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    RoundTrip(text, data[0] & 2);
    return 0;
  }
  // With bit 3 set, the first line is the content type.
  std::string contentType = kContentType;
  std::string body = text;
  if (data[0] & 8) {
    size_t eol = text.find('\n');
    contentType = text.substr(0, eol);
    body = eol == std::string::npos ? std::string() : text.substr(eol + 1);
  }
  fuzz::Request request(body);
  request.browserType = data[0] & 2 ? RequestInfo::kBrowserMSIE : RequestInfo::kBrowserMozilla;
  request.browserVersion = 5.0;
  request.systemType = data[0] & 4 ? 1 : 0;
  std::unique_ptr<ValNameList> list(request.ParseMultiPartForm(contentType.c_str()));
  fuzz::Touch(list.get());
  return 0;
}
