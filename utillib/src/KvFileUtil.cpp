// File, directory, temporary-name and platform helpers.

#include "KvFileUtil.h"

#include <dirent.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "KvError.h"

namespace {

const char kDefaultTmpdir[] = "/tmp";
const int kCopyBlock = 4096;

// Closes a descriptor when it goes out of scope; Close() reports the result.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
    int rc = close(fd_);
    fd_ = -1;
    return rc == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, ssize_t n) {
  while (n > 0) {
    ssize_t done = write(fd, data, static_cast<size_t>(n));
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += done;
    n -= done;
  }
  return true;
}

}  // namespace

KvBoolean KvCheckIfFile(const char* path) {
  struct stat st;
  return path != nullptr && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

KvBoolean KvCheckIfDirectory(const char* path) {
  struct stat st;
  return path != nullptr && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

long KvGetFileSize(const char* path) {
  struct stat st;
  if (path == nullptr || stat(path, &st) != 0) return 0;
  return static_cast<long>(st.st_size);
}

time_t KvGetTimeStamp(const char* path) {
  struct stat st;
  if (path == nullptr || stat(path, &st) != 0) return 0;
  return st.st_mtime;
}

KvBoolean KvFileCopy(const char* from, const char* to) { return KvFileCopy(from, to, 0644); }

KvBoolean KvFileCopy(const char* from, const char* to, int mode) {
  if (from == nullptr || to == nullptr) return false;
  Fd in(open(from, O_RDONLY));
  if (in.get() < 0) return false;
  Fd out(open(to, O_WRONLY | O_CREAT | O_TRUNC, mode));
  if (out.get() < 0) return false;
  char block[kCopyBlock];
  for (;;) {
    ssize_t n = read(in.get(), block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    if (!WriteAll(out.get(), block, n)) return false;
  }
  return out.Close();
}

KvBoolean KvRemoveFile(const char* path) { return path != nullptr && unlink(path) == 0; }

KvBoolean KvReadFileIntoBuf(FILE* fp, char* buf, int size, int* count) {
  *count = 0;
  if (size <= 0) return false;
  size_t n = fread(buf, 1, static_cast<size_t>(size), fp);
  if (n > 0) {
    *count = static_cast<int>(n);
    return true;
  }
  if (ferror(fp)) KV_THROW(String("Error in fread :") + String(ferror(fp)));
  return false;
}

namespace {

// The installation's private temporary folder, relative to the program's
// folder; "" when the program does not run inside an installation or the
// folder cannot be used safely (not ours, or not a plain folder).
std::string PrivateTmpdir() {
  const char* const kConfig = "../../../config";
  const char* const kTmp = "../../../tmp";
  if (!KvCheckIfDirectory(kConfig)) return "";
  if (mkdir(kTmp, 0700) != 0 && errno != EEXIST) return "";
  struct stat st;
  if (lstat(kTmp, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return "";
  if ((st.st_mode & 077) != 0 && chmod(kTmp, 0700) != 0) return "";
  char* real = realpath(kTmp, nullptr);
  if (real == nullptr) return "";
  std::string out = real;
  free(real);
  return out;
}

}  // namespace

char* KvGetTmpdir() {
  const char* dir = getenv("TMPDIR");
  if (dir != nullptr && *dir != '\0') return strdup(dir);
  std::string own = PrivateTmpdir();
  return strdup(own.empty() ? kDefaultTmpdir : own.c_str());
}

int KvRemoveLeftovers(const char* dir,
                      const std::function<bool(const char*)>& isLeftover,
                      long maxAge) {
  if (dir == nullptr) return 0;
  DIR* d = opendir(dir);
  if (d == nullptr) return 0;
  time_t now = time(nullptr);
  int removed = 0;
  while (struct dirent* ent = readdir(d)) {
    if (!isLeftover(ent->d_name)) continue;
    std::string path = std::string(dir) + "/" + ent->d_name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
      continue;
    }
    if (now - st.st_mtime < maxAge) continue;
    if (unlink(path.c_str()) == 0) ++removed;
  }
  closedir(d);
  return removed;
}

bool KvParseInt(const char* text, long low, long high, long* value) {
  if (text == nullptr) return false;
  char* end = nullptr;
  errno = 0;
  long n = strtol(text, &end, 10);
  if (end == text || errno == ERANGE) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0' || n < low || n > high) return false;
  *value = n;
  return true;
}

char* KvGetTmpFileName() {
  char* dir = KvGetTmpdir();
  std::string path(dir);
  free(dir);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  path += "/" + std::to_string(getpid()) + "XXXXXX";
  // mkstemp creates the file with O_CREAT|O_EXCL and mode 0600.
  int fd = mkstemp(&path[0]);
  if (fd < 0) return nullptr;
  close(fd);
  return strdup(path.c_str());
}

char* KvGetLastErrorString() {
  if (errno == 0) return nullptr;
  return strdup(strerror(errno));
}

char* KvGetPlatform() {
  struct utsname names;
  if (uname(&names) != 0) return strdup("Unknown platform");
  return strdup((std::string(names.sysname) + " " + names.machine).c_str());
}
