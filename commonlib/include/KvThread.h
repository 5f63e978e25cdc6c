// The seam to a multi-threaded server gateway. In the CGI program one
// process serves one request, so every function here does nothing and
// returns a fixed value; callers still bracket shared state with them.
#pragma once

#include "utillib.h"

void* KvCreateLockObject();                       // null
void KvDestroyLockObject(void* lock);
int KvThreadLock(void* lock, KvLockType type);    // 1
int KvThreadUnlock(void* lock);                   // 1
void* KvGetDBHandle(const char* name);            // null: nothing cached
void KvSetDBHandle(const char* name, void* handle);
void KvLockDBHandle();
void KvUnlockDBHandle();
void KvThreadLockLogFile();
void KvThreadUnlockLogFile();
int KvThreadNewKey();                             // 0
void KvThreadSetData(int key, void* data);
void* KvThreadGetData(int key);                   // null
void* KvThreadAllocStore(int key);                // null
void* KvMutexAlloc();                             // null
void KvMutexFree(void* mutex);
int KvMutexLock(void* mutex);                     // 0
int KvMutexUnlock(void* mutex);                   // 0
int KvGetGatewayKind();                           // 0: CGI
