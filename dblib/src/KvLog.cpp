// The shared log file: appending records directly or in one buffered piece,
// reading records back, archiving and emptying the log.
#include "KvLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "commonlib.h"

namespace {

const char kRecordFormat[] = "%s:%s:%s:%s\n";

// Holds the in-process log lock and then the file lock on the log's ".lck"
// companion, releasing them in the reverse order.
class LogLock {
 public:
  LogLock(const char* path, KvLockType type) {
    KvThreadLockLogFile();
    try {
      std::string lockPath = std::string(path) + ".lck";
      file.reset(new KvLockGuard(lockPath.c_str(), type));
    } catch (...) {
      KvThreadUnlockLogFile();
      throw;
    }
  }
  ~LogLock() {
    file.reset();
    KvThreadUnlockLogFile();
  }
  void Release() { file->Release(); }
  LogLock(const LogLock&) = delete;
  LogLock& operator=(const LogLock&) = delete;

 private:
  std::unique_ptr<KvLockGuard> file;
};

struct FileCloser {
  void operator()(FILE* fp) const { fclose(fp); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Copy of the text between begin and the next colon, or null when it is
// empty or the line ends before a colon (then nothing is taken from the line).
char* GrabField(const char* begin, const char** next) {
  size_t n = strcspn(begin, ":\r\n");
  *next = begin;
  if (begin[n] != ':') return nullptr;
  *next = begin + n + 1;
  if (n == 0) return nullptr;
  return StringDup(begin, int(n));
}

}  // namespace

void KvFreeLogRecords(KvLogRecord* rec) {
  while (rec) {
    KvLogRecord* next = rec->next;
    free(rec->time);
    free(rec->appName);
    free(rec->level);
    free(rec->message);
    free(rec);
    rec = next;
  }
}

KvLog::KvLog(const char* app, KvLogLevel lvl, const char* logPath,
             KvBoolean buffered)
    : level(lvl),
      appName(strdup(app ? app : "")),
      format(kRecordFormat),
      path(logPath ? strdup(logPath) : nullptr),
      tmpPath(nullptr),
      tmpFile(nullptr),
      bufferPending(buffered == 1) {}

// The temporary file of a buffered log is made with its first record: most
// requests log nothing, and making, locking and removing a file for each of
// them costs more than their page.
void KvLog::OpenTmpFile() {
  bufferPending = false;
  // The temporary file is created by KvGetTmpFileName (mode 0600, exclusive)
  // and only reopened here, never created through a guessable name. Its name
  // is removed at once: the open stream is all the buffer needs, and a
  // process that is killed leaves nothing behind.
  char* name = KvGetTmpFileName();
  if (!name) return;
  int fd = open(name, O_RDWR | O_TRUNC | O_NOFOLLOW);
  unlink(name);
  free(name);
  if (fd >= 0) tmpFile = fdopen(fd, "w+");
  if (!tmpFile && fd >= 0) close(fd);
}

KvLog::~KvLog() {
  try {
    Close();
  } catch (KvError* e) {
    delete e;
  }
  if (tmpFile) fclose(tmpFile);
  if (tmpPath) {
    unlink(tmpPath);
    free(tmpPath);
  }
  free(appName);
  free(path);
}

int KvLog::AddMsg(KvLogLevel msgLevel, const char* message) {
  if (msgLevel < level) return 1;
  try {
    char timeText[101];
    KvTime now;
    now.GetCurrentTimeString(timeText, sizeof(timeText));
    // One event is one record: line breaks in the message become blanks.
    std::string text = message ? message : "";
    for (char& c : text)
      if (c == '\r' || c == '\n') c = ' ';
    int idx = msgLevel < KV_INFO || msgLevel > KV_ERROR ? KV_ERROR : msgLevel;
    const char* levelText = kKvLogLevelText[idx];
    if (bufferPending) OpenTmpFile();
    if (tmpFile) {
      fprintf(tmpFile, format, timeText, appName, levelText, text.c_str());
      return 1;
    }
    if (!path) return 1;
    LogLock lock(path, kKvLockExclusive);
    FilePtr fp(fopen(path, "a"));
    if (fp) {
      fprintf(fp.get(), format, timeText, appName, levelText, text.c_str());
      fp.reset();
    }
    lock.Release();
    return 1;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to add the message to the log file");
    throw;
  }
}

int KvLog::Flush() {
  if (tmpFile) fflush(tmpFile);
  return 1;
}

int KvLog::Close() {
  bufferPending = false;
  if (!tmpFile) return 1;
  try {
    fflush(tmpFile);
    FILE* tmp = tmpFile;
    tmpFile = nullptr;
    FilePtr tmpOwner(tmp);
    if (path) {
      LogLock lock(path, kKvLockExclusive);
      FilePtr log(fopen(path, "a"));
      if (log) {
        rewind(tmp);
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), tmp)) > 0)
          fwrite(buf, 1, n, log.get());
        log.reset();
      }
      lock.Release();
    }
    tmpOwner.reset();
    if (tmpPath) unlink(tmpPath);
    free(tmpPath);
    tmpPath = nullptr;
    return 1;
  } catch (KvError* e) {
    KV_ADD_LINE(e, String("Update of the master log file ") +
                       (path ? path : "") + " failed!");
    throw;
  }
}

KvLogRecord* KvLog::ReadLogFile(const char* other) {
  try {
    const char* file = other ? other : path;
    if (!file) return nullptr;
    std::unique_ptr<LogLock> lock;
    if (!other) lock.reset(new LogLock(path, kKvLockShared));
    FilePtr fp(fopen(file, "r"));
    if (!fp) return nullptr;
    KvLogRecord* first = nullptr;
    KvLogRecord** tail = &first;
    char* line = nullptr;
    size_t cap = 0;
    while (getline(&line, &cap, fp.get()) != -1) {
      if (StringIsEmpty(line)) continue;
      KvLogRecord* rec =
          static_cast<KvLogRecord*>(calloc(1, sizeof(KvLogRecord)));
      if (!rec) break;
      const char* rest = line;
      rec->time = GrabField(rest, &rest);
      rec->appName = GrabField(rest, &rest);
      rec->level = GrabField(rest, &rest);
      // The message is the rest of the line, colons and all.
      size_t n = strcspn(rest, "\r\n");
      rec->message = StringDup(rest, int(n));
      *tail = rec;
      tail = &rec->next;
    }
    free(line);
    fp.reset();
    if (lock) lock->Release();
    return first;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to read the log file");
    throw;
  }
}

char* KvLog::ArchiveLogFile(const char* newName) {
  try {
    if (!path) return nullptr;
    std::string archive;
    if (newName) {
      archive = newName;
    } else {
      char stamp[64];
      time_t now = time(nullptr);
      struct tm local;
      localtime_r(&now, &local);
      strftime(stamp, sizeof(stamp), ".%d_%b_%H_%M", &local);
      archive = std::string(path) + stamp;
    }
    Close();
    LogLock lock(path, kKvLockShared);
    char* result =
        rename(path, archive.c_str()) == 0 ? strdup(archive.c_str()) : nullptr;
    lock.Release();
    return result;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to read the log file");
    throw;
  }
}

KvBoolean KvLog::PurgeLogFile() {
  try {
    if (!path) return false;
    Close();
    LogLock lock(path, kKvLockExclusive);
    FilePtr fp(fopen(path, "w"));
    KvBoolean opened = fp != nullptr;
    fp.reset();
    lock.Release();
    return opened;
  } catch (KvError* e) {
    KV_ADD_LINE(e, String("Purge of the log file ") + path + " failed!");
    throw;
  }
}

long KvLog::LogFileSize() {
  struct stat st;
  if (!path || stat(path, &st) != 0) return 0;
  return long(st.st_size);
}
