// Advisory fcntl record locks on a companion ".lck" file, serialising access
// to shared files between the concurrent processes of the web server. Every
// read of a shared file is bracketed by a shared lock and every write by an
// exclusive one. The lock file never holds data and is never removed; the
// operating system drops the lock when the process ends.
#pragma once

#include "KvBoolean.h"

// 0 asks for a shared (read) lock, any other value for an exclusive one.
typedef int KvLockType;
const KvLockType kKvLockShared = 0;
const KvLockType kKvLockExclusive = 1;

// Locks lockPath (created with permission bits 0666 when missing) and stores
// a new handle in *handle, to be given to KvLockFileRelease exactly once.
// With wait true the call blocks until the lock is granted; with false it
// fails at once when another process holds a conflicting lock. Throws KvError*.
void KvLockFileGrab(const char* lockPath, KvBoolean wait, KvLockType type,
                    void** handle);
// Unlocks, closes the lock file and frees the handle. Throws KvError*.
void KvLockFileRelease(void* handle, KvBoolean wait);

// Holds a lock for the life of a scope. The constructor grabs (and throws
// like KvLockFileGrab); the destructor releases and, since it cannot throw,
// drops any release error. Call Release() to see release errors.
class KvLockGuard {
 public:
  KvLockGuard(const char* lockPath, KvLockType type, KvBoolean wait = true);
  ~KvLockGuard();
  KvLockGuard(const KvLockGuard&) = delete;
  KvLockGuard& operator=(const KvLockGuard&) = delete;
  // Releases now; throws KvError* on failure. Later calls do nothing.
  void Release();

 private:
  void* handle;
  KvBoolean wait;
};
