// Reader of "multipart/form-data" request bodies (RFC 2046 section 5.1.1,
// RFC 7578). Ordinary fields become name/value parameters; each file field is
// copied byte for byte into a new temporary file of this request, and its
// parameter carries the client's base file name and the temporary path.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RequestInfo.h"

namespace {

constexpr int kLineBufferSize = 1024;
constexpr char kCRLF[] = "\r\n";

// Browsers write a quote, CR and LF of a field or file name as "%22", "%0D"
// and "%0A" (the HTML standard's multipart/form-data encoding).
std::string UndoFormEscapes(const std::string& text) {
  static const struct {
    const char* escaped;
    char plain;
  } kEscapes[] = {{"%22", '"'}, {"%0D", '\r'}, {"%0A", '\n'}, {"%0d", '\r'}, {"%0a", '\n'}};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& e : kEscapes) {
      if (text.compare(i, 3, e.escaped) == 0) {
        out += e.plain;
        i += 2;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i];
  }
  return out;
}

enum class State {
  kBeforeFirstBoundary,
  kHeaders,
  kFieldValue,
  kValueLineDone,
  kFileContent,
  kFileLineHeld,
};

struct FileCloser {
  void operator()(FILE* fp) const { fclose(fp); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

bool EndsInCRLF(const char* line, int length) {
  return length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n';
}

// The client's file name without the folders in front of it; browsers on
// Windows send the whole path.
std::string BaseName(const std::string& clientName) {
  size_t slash = clientName.find_last_of("\\/");
  return slash == std::string::npos ? clientName : clientName.substr(slash + 1);
}

// Creates a new, empty file of mode 0600 in the temporary directory, opened
// for binary writing; its path goes to *path. Null when that fails.
FilePtr CreateUploadFile(std::string* path) {
  std::unique_ptr<char, decltype(&free)> dir(KvGetTmpdir(), &free);
  std::string pattern = std::string(dir && *dir.get() ? dir.get() : "/tmp") +
                        "/" + std::to_string(getpid()) + "upXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());  // O_CREAT | O_EXCL, mode 0600
  if (fd < 0) return nullptr;
  FILE* fp = fdopen(fd, "wb");
  if (!fp) {
    close(fd);
    unlink(name.data());
    return nullptr;
  }
  *path = name.data();
  return FilePtr(fp);
}

}  // namespace

int RequestInfo::IsBoundary(const char* line, int length,
                            const char* boundary) {
  if (!line || !boundary) return 0;
  int b = static_cast<int>(strlen(boundary));
  if (length < b) return 0;
  for (int i = 0; i < 2 && length > 0; ++i) {
    if (line[length - 1] != '\r' && line[length - 1] != '\n') break;
    --length;
  }
  // The two leading dashes are not examined.
  return length - 2 == b && memcmp(line + 2, boundary, b) == 0 ? 1 : 0;
}

int RequestInfo::IsEndBoundary(const char* line, int length,
                               const char* boundary) {
  if (!line || !boundary) return 0;
  int b = static_cast<int>(strlen(boundary));
  if (length < b + 4) return 0;
  return memcmp(line + 2, boundary, b) == 0 && line[b + 2] == '-' &&
                 line[b + 3] == '-'
             ? 1
             : 0;
}

int RequestInfo::GetFormDataLine(char* buf, int size, const char* boundary) {
  if (!buf || size < 3) return -1;
  const int stopLength = boundary ? static_cast<int>(strlen(boundary)) : -1;
  int count = 0;
  if (pendingCR) {
    pendingCR = 0;
    buf[count++] = '\r';
  }
  for (;;) {
    // Past the body limit nothing more is read.
    int c = BodyTooLarge() ? -1 : GetFormDataChar();
    if (c != -1 && !CountBodyByte()) c = -1;
    if (c == -1) return count > 0 ? count : -1;
    buf[count++] = static_cast<char>(c);
    if (c == '\n' && count >= 2 && buf[count - 2] == '\r') return count;
    if (count >= size - 2) {
      // Never split a CR LF pair: the CR starts the next line instead.
      if (buf[count - 1] == '\r') {
        pendingCR = 1;
        --count;
      }
      return count;
    }
    if (count == stopLength && memcmp(buf, boundary, stopLength) == 0) {
      return count;
    }
  }
}

ValNameList* RequestInfo::ParseMultiPartForm(const char* contentType) {
  if (SetupInputStream() != 0) return nullptr;
  const char* marker = contentType ? strstr(contentType, "boundary=") : nullptr;
  if (!marker || !marker[strlen("boundary=")]) {
    CloseInputStream();
    return nullptr;
  }
  const std::string boundary(marker + strlen("boundary="));
  const std::string closing = "--" + boundary + "--";
  const bool joinLines = browserType == kBrowserMSIE && browserVersion >= 4.0;

  auto result = std::make_unique<ValNameList>();
  std::vector<char> line(kLineBufferSize);
  std::unique_ptr<std::string> fieldName;
  std::unique_ptr<std::string> clientName;
  FilePtr file;
  std::string value;
  bool writeFailed = false;
  State state = State::kBeforeFirstBoundary;
  pendingCR = 0;

  auto writeFile = [&](const char* data, size_t n) {
    if (file && n > 0 && fwrite(data, 1, n, file.get()) != n) {
      writeFailed = true;
    }
  };
  auto appendValue = [&] {
    result->Append(fieldName ? fieldName->c_str() : nullptr, value.c_str());
  };

  bool finished = false;
  while (!finished) {
    int n = GetFormDataLine(line.data(), kLineBufferSize - 1, closing.c_str());
    if (n == -1) break;
    line[n] = '\0';
    const char* text = line.data();
    const bool crlf = EndsInCRLF(text, n);

    switch (state) {
      case State::kBeforeFirstBoundary:
        if (IsBoundary(text, n, boundary.c_str())) state = State::kHeaders;
        break;

      case State::kHeaders: {
        if (n == 2 && crlf) {
          state = clientName ? State::kFileContent : State::kFieldValue;
          break;
        }
        if (IsBoundary(text, n, boundary.c_str())) break;
        std::unique_ptr<ValNameList> header(ParseHTTPHeader(text));
        if (!header || !header->Lookup("content-disposition")) break;
        if (ValNameListItem* name = header->Lookup("name")) {
          fieldName = std::make_unique<std::string>(
              UndoFormEscapes(name->value ? name->value : ""));
        }
        if (ValNameListItem* fn = header->Lookup("filename")) {
          std::string client = fn->value ? fn->value : "";
          if (systemType == 1) {
            std::unique_ptr<char, decltype(&free)> unescaped(
                StringUnescape(client.c_str(), static_cast<int>(client.size()),
                               0),
                &free);
            if (unescaped) client = unescaped.get();
          } else {
            client = UndoFormEscapes(client);
          }
          clientName = std::make_unique<std::string>(client);
        }
        if (!clientName) {
          value.clear();
          break;
        }
        // A second disposition header in one part replaces the file.
        file.reset();
        std::string path;
        file = CreateUploadFile(&path);
        if (!file) {
          CloseInputStream();
          return nullptr;
        }
        KeepUpload(path.c_str());
        result->Append(fieldName ? fieldName->c_str() : nullptr,
                       BaseName(*clientName).c_str(), path.c_str());
        break;
      }

      case State::kValueLineDone:
        if (IsBoundary(text, n, boundary.c_str())) {
          appendValue();
          fieldName.reset();
          value.clear();
          state = State::kHeaders;
          break;
        }
        if (IsEndBoundary(text, n, boundary.c_str())) {
          appendValue();
          finished = true;
          break;
        }
        // A further line of the same value. MSIE 4 and later wrap long
        // textarea lines themselves, so their line ends are dropped.
        if (!joinLines) value += kCRLF;
        [[fallthrough]];
      case State::kFieldValue:
        if (crlf) {
          value.append(text, n - 2);
          state = State::kValueLineDone;
        } else {
          value.append(text, n);
          state = State::kFieldValue;
        }
        break;

      case State::kFileLineHeld:
        if (IsBoundary(text, n, boundary.c_str())) {
          file.reset();
          clientName.reset();
          fieldName.reset();
          state = State::kHeaders;
          break;
        }
        if (IsEndBoundary(text, n, boundary.c_str())) {
          file.reset();
          finished = true;
          break;
        }
        writeFile(kCRLF, 2);
        [[fallthrough]];
      case State::kFileContent:
        // The CR LF in front of a boundary belongs to the delimiter, so a
        // line end is held back until the next line shows it is data.
        if (crlf) {
          writeFile(text, n - 2);
          state = State::kFileLineHeld;
        } else {
          writeFile(text, n);
          state = State::kFileContent;
        }
        break;
    }
  }

  file.reset();
  CloseInputStream();
  if (writeFailed) {
    // A truncated copy must not pass for the upload.
    RemoveUploads();
    return nullptr;
  }
  if (BodyTooLarge()) RemoveUploads();
  return result.release();
}
