// The lock held around every read-change-write of a stored list.
#include "KvChangeLock.h"

#include "KvConfigInternal.h"
#include "utillib.h"

namespace {
// Depth of nested scopes in this process (one request per process, no threads).
int depth = 0;
}  // namespace

std::string KvChangeLock::LockPath(const char* configDir) {
  std::string dir = configDir ? configDir : kKvConfigDir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + "changes.lck";
}

KvChangeLock::KvChangeLock(const char* configDir) {
  if (depth == 0) guard.reset(new KvLockGuard(LockPath(configDir).c_str(), kKvLockExclusive));
  ++depth;
}

KvChangeLock::~KvChangeLock() {
  --depth;
  guard.reset();
}
