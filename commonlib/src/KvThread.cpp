// The thread, lock and handle shims of the CGI gateway: one process serves
// one request, so there is nothing to share and nothing to lock.
#include "KvThread.h"

void* KvCreateLockObject() { return nullptr; }
void KvDestroyLockObject(void*) {}
int KvThreadLock(void*, KvLockType) { return 1; }
int KvThreadUnlock(void*) { return 1; }
void* KvGetDBHandle(const char*) { return nullptr; }
void KvSetDBHandle(const char*, void*) {}
void KvLockDBHandle() {}
void KvUnlockDBHandle() {}
void KvThreadLockLogFile() {}
void KvThreadUnlockLogFile() {}
int KvThreadNewKey() { return 0; }
void KvThreadSetData(int, void*) {}
void* KvThreadGetData(int) { return nullptr; }
void* KvThreadAllocStore(int) { return nullptr; }
void* KvMutexAlloc() { return nullptr; }
void KvMutexFree(void*) {}
int KvMutexLock(void*) { return 0; }
int KvMutexUnlock(void*) { return 0; }
int KvGetGatewayKind() { return 0; }
