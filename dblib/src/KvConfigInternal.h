// Helpers shared by the configuration database's sources: the in-process
// lock guard, password scrambling of stored lists and the MIME type table.
#pragma once

#include "KvConfigDB.h"

// Holds the in-process lock object of a configuration (thread shim) for a
// scope; does nothing when `active` is false.
class KvThreadLockGuard {
 public:
  KvThreadLockGuard(void* lock, KvLockType type, bool active = true);
  ~KvThreadLockGuard();
  KvThreadLockGuard(const KvThreadLockGuard&) = delete;
  KvThreadLockGuard& operator=(const KvThreadLockGuard&) = delete;

 private:
  void* lock;
  bool held;
};

// Turns the values of "rootPasswd" and "USERPASSWD" into their stored
// (scrambled) form, or back into plain text.
void KvScramblePasswords(ValNameList* list);
void KvUnscramblePasswords(ValNameList* list);

// Sets key to value (null allowed) in list, keeping the key's spelling.
void KvSetListValue(ValNameList* list, const char* key, const char* value);

// The built-in MIME table, in the order it is written to the MIME types file.
struct KvMimeType {
  const char* extension;
  const char* type;
};
extern const KvMimeType kKvMimeTable[];
extern const int kKvMimeTableSize;

// The fixed files of the installation's config folder.
extern const char kKvConfigDir[];       // "../../../config/"
extern const char kKvStyleDir[];        // "../../../config/style/"
extern const char kKvSetupPath[];       // "../../../config/setup.lst"
