// Atomic replacement of list files (see KvReplaceFile.h).
#include "KvReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "utillib.h"

namespace {

[[noreturn]] void Fail(int line, const std::string& what, const char* path,
                       int err) {
  std::string msg = what + " " + path + " - " + strerror(err);
  KvThrowError(line, KvSourceName(__FILE__), String(msg.c_str()));
}

// The creation mode a plain fopen(path, "w") would give.
mode_t DefaultMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Keeps a hard link (or, where links are refused, a copy) of path under
// backupPath, replacing an older backup atomically.
void KeepBackup(const char* path, const char* backupPath) {
  std::string tmp = std::string(backupPath) + ".new";
  unlink(tmp.c_str());
  if (link(path, tmp.c_str()) != 0 && !KvFileCopy(path, tmp.c_str())) {
    unlink(tmp.c_str());
    return;
  }
  if (rename(tmp.c_str(), backupPath) != 0) unlink(tmp.c_str());
}

}  // namespace

void KvReplaceFile(const char* path, const std::function<void(FILE*)>& write,
                   const char* backupPath) {
  struct stat old;
  bool exists = stat(path, &old) == 0;
  mode_t mode = exists ? (old.st_mode & 07777) : DefaultMode();

  std::string tmpl = std::string(path) + ".XXXXXX";
  std::unique_ptr<char[]> tmpName(new char[tmpl.size() + 1]);
  memcpy(tmpName.get(), tmpl.c_str(), tmpl.size() + 1);
  int fd = mkstemp(tmpName.get());
  if (fd < 0) Fail(__LINE__, "Unable to create a temporary file for", path, errno);
  // Until the rename succeeds the temporary file is removed on every exit.
  auto removeTmp = [&tmpName]() { unlink(tmpName.get()); };
  if (fchmod(fd, mode) != 0) {
    int err = errno;
    close(fd);
    removeTmp();
    Fail(__LINE__, "Unable to set the permissions for", path, err);
  }
  FILE* fp = fdopen(fd, "w");
  if (!fp) {
    int err = errno;
    close(fd);
    removeTmp();
    Fail(__LINE__, "Unable to open a temporary file for", path, err);
  }
  try {
    write(fp);
  } catch (...) {
    fclose(fp);
    removeTmp();
    throw;
  }
  int err = 0;
  if (ferror(fp)) err = errno ? errno : EIO;
  if (!err && fflush(fp) != 0) err = errno;
  if (!err && fsync(fileno(fp)) != 0) err = errno;
  if (fclose(fp) != 0 && !err) err = errno;
  if (err) {
    removeTmp();
    Fail(__LINE__, "Unable to write", path, err);
  }
  if (backupPath && exists) KeepBackup(path, backupPath);
  if (rename(tmpName.get(), path) != 0) {
    err = errno;
    removeTmp();
    Fail(__LINE__, "Unable to replace", path, err);
  }
}
