// File download: the bytes of a file sent as the whole response, and
// private copies of files.
#include "KvStreamFile.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dblib.h"

namespace {

const int kPieceSize = 16384;

struct FileCloser {
  void operator()(FILE* fp) const { fclose(fp); }
};
struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};

}  // namespace

char* KvGetFilePath(const char* path) {
  char* name = KvGetTmpFileName();
  if (!name) return nullptr;
  if (!path || !KvFileCopy(path, name)) {
    KvRemoveFile(name);
    free(name);
    return nullptr;
  }
  return name;
}

int KvStreamFile(RequestInfo* req, const char* fileName, const char* path,
                 KvConfigDB* config, const char* mimeType) {
  // A directory opens for reading on this platform but yields no bytes.
  if (!path || !KvCheckIfFile(path)) return 0;
  std::unique_ptr<FILE, FileCloser> file(fopen(path, "rb"));
  if (!file) return 0;
  std::vector<char> buffer(kPieceSize);

  try {
    std::string type;
    if (mimeType) {
      type = mimeType;
    } else {
      std::unique_ptr<char, FreeDeleter> ext(
          fileName ? StringFindExtension(fileName) : nullptr);
      std::unique_ptr<char, FreeDeleter> found(
          config ? config->FindMimeType(ext.get()) : nullptr);
      type = found ? found.get() : "text/plain";
    }
    // Saved as a file, never shown in the frame (RFC 6266); the name is a
    // quoted string.
    std::string disposition = "attachment; filename=\"";
    for (const char* c = fileName ? fileName : ""; *c; ++c) {
      if (*c == '"' || *c == '\\') disposition += '\\';
      if (*c != '\r' && *c != '\n') disposition += *c;
    }
    disposition += '"';

    req->WriteHeader("Content-type", type.c_str());
    req->SetStatus(200, "OK");
    req->WriteHeader("Content-Disposition", disposition.c_str());
    req->WriteHeader("", "");

    int count = 0;
    bool sentAny = false;
    while (KvReadFileIntoBuf(file.get(), buffer.data(), kPieceSize, &count)) {
      req->WriteBinary(buffer.data(), count);
      sentAny = true;
    }
    if (!sentAny) req->Write("\n");
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error streaming the file");
    throw;
  }
  return 1;
}
