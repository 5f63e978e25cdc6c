// Wrappers over dynamic loading that raise KvError* with the loader's own
// error text on failure.
#pragma once

// dlopen(path, mode); throws when the library cannot be opened.
void* KvShLibOpen(const char* path, int mode);
// dlsym(handle, name); throws when the symbol is not found.
void* KvShLibFindSym(void* handle, const char* name);
// dlclose(handle); throws when it fails.
void KvShLibClose(void* handle);
