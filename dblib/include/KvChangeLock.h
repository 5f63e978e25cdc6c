// Serialises the read-change-write cycles of stored lists (additional fields,
// templates, access and notify lists, administrators, categories, accounts):
// whoever reads a list in order to write back a changed version holds this
// lock from before the read until the new version is in place, so that two
// concurrent changes never lose one another. Plain readers do not take it;
// the lists are replaced atomically, so a reader sees the old or new version.
//
// The lock is an exclusive file lock on "changes.lck" in the installation's
// config folder. Scopes nest within a process: only the outermost one takes
// and releases the file lock (a second lock on the same file from the same
// process would be released with it).
#pragma once

#include <memory>
#include <string>

class KvLockGuard;

class KvChangeLock {
 public:
  // configDir null means the program's config folder ("../../../config/").
  // Throws KvError* when the lock cannot be taken.
  explicit KvChangeLock(const char* configDir = nullptr);
  ~KvChangeLock();
  KvChangeLock(const KvChangeLock&) = delete;
  KvChangeLock& operator=(const KvChangeLock&) = delete;

  // The lock file used for configDir (null: the program's config folder).
  static std::string LockPath(const char* configDir = nullptr);

 private:
  std::unique_ptr<KvLockGuard> guard;
};
