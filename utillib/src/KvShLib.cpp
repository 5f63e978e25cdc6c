// Dynamic loading of the directory back-end libraries.

#include "KvShLib.h"

#include <dlfcn.h>

#include "KvError.h"

namespace {

const char* LoaderError() {
  const char* text = dlerror();
  return text ? text : "";
}

}  // namespace

void* KvShLibOpen(const char* path, int mode) {
  dlerror();
  void* handle = dlopen(path, mode);
  if (handle == nullptr) {
    KV_THROW(String("Unable to open the shared library ") + path + " - " + LoaderError());
  }
  return handle;
}

void* KvShLibFindSym(void* handle, const char* name) {
  dlerror();
  void* address = dlsym(handle, name);
  if (address == nullptr) {
    KV_THROW(String("Look up of symbol - ") + name + " failed - " + LoaderError());
  }
  return address;
}

void KvShLibClose(void* handle) {
  dlerror();
  if (dlclose(handle) != 0) {
    KV_THROW(String("Unable to close the shared library - ") + LoaderError());
  }
}
