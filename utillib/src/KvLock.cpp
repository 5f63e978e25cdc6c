// Advisory fcntl record locks on ".lck" companion files.

#include "KvLock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "KvError.h"
#include "KvFileUtil.h"
#include "ValList.h"

namespace {

struct LockHandle {
  char* path;  // owned
  FILE* fp;
};

String ProcessText() { return String("Process ") + String(static_cast<int>(getpid())); }

// Raises an error whose lines read: message, then the system's error text.
[[noreturn]] void ThrowWithSystemText(int line, const String& message) {
  KvError* error = new KvError();
  char* system = KvGetLastErrorString();
  if (system) error->AddLine(line, KvSourceName(__FILE__), system, false);
  free(system);
  error->AddLine(line, KvSourceName(__FILE__), message, false);
  throw error;
}

// Places (or removes, with F_UNLCK) a lock over the whole file.
bool SetLock(FILE* fp, short type, KvBoolean wait) {
  int fd = fileno(fp);
  if (lseek(fd, 0, SEEK_SET) < 0) return false;
  struct flock lock;
  memset(&lock, 0, sizeof lock);
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  int rc;
  do {
    rc = fcntl(fd, wait ? F_SETLKW : F_SETLK, &lock);
  } while (rc < 0 && errno == EINTR && wait);
  return rc == 0;
}

void FreeHandle(LockHandle* h) {
  if (h == nullptr) return;
  if (h->fp) fclose(h->fp);
  free(h->path);
  delete h;
}

}  // namespace

void KvLockFileGrab(const char* lockPath, KvBoolean wait, KvLockType type, void** handle) {
  std::unique_ptr<LockHandle, decltype(&FreeHandle)> h(
      new LockHandle{strdup(lockPath ? lockPath : ""), nullptr}, &FreeHandle);
  try {
    String path(lockPath);
    bool created = false;
    h->fp = fopen(h->path, "r+");
    if (h->fp == nullptr) {
      h->fp = fopen(h->path, "w+");
      if (h->fp == nullptr) {
        ThrowWithSystemText(__LINE__, ProcessText() + " error creating new lock file " + path);
      }
      created = true;
    }
    // Other users' processes must be able to lock the file later.
    if (created && fchmod(fileno(h->fp), 0666) != 0) {
      KV_THROW(String("Unable to change the permission on the lock file - ") + path);
    }
    if (!SetLock(h->fp, type == kKvLockShared ? F_RDLCK : F_WRLCK, wait)) {
      KV_THROW(ProcessText() + " error locking file " + path);
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in KvLockFileGrab");
    throw;
  }
  *handle = h.release();
}

void KvLockFileRelease(void* handle, KvBoolean wait) {
  std::unique_ptr<LockHandle, decltype(&FreeHandle)> h(static_cast<LockHandle*>(handle),
                                                      &FreeHandle);
  try {
    if (h == nullptr) {
      KV_THROW(ProcessText() + " error unlocking file - File pointer is NULL");
    }
    String path(h->path);
    if (h->fp == nullptr) {
      KV_THROW(ProcessText() + " error unlocking file" + path + " - File pointer is NULL");
    }
    if (!SetLock(h->fp, F_UNLCK, wait)) {
      KV_THROW(ProcessText() + " error unlocking file " + path);
    }
    FILE* fp = h->fp;
    h->fp = nullptr;
    if (fclose(fp) != 0) {
      ThrowWithSystemText(__LINE__, ProcessText() + " error closing lock file " + path);
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in KvLockFileRelease");
    throw;
  }
}

KvLockGuard::KvLockGuard(const char* lockPath, KvLockType type, KvBoolean w)
    : handle(nullptr), wait(w) {
  KvLockFileGrab(lockPath, wait, type, &handle);
}

KvLockGuard::~KvLockGuard() {
  try {
    Release();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    for (ValListItem* line = e->lines->first; line; line = line->next) {
      fprintf(stderr, "%s\n", line->value ? line->value : "");
    }
  }
}

void KvLockGuard::Release() {
  void* h = handle;
  handle = nullptr;
  if (h) KvLockFileRelease(h, wait);
}
