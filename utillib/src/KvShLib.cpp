// Dynamic loading of the directory back-end libraries.

#include "KvShLib.h"

#include <dlfcn.h>
#include <unwind.h>

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

// A plug-in built without a C++ runtime of its own (the file directory back
// end) has its calls to _Unwind_Resume renamed to this at link time, so that
// an exception leaving one of its functions goes on through the unwinder of
// the program that loaded it, the one that began unwinding it: the program
// may carry its unwinder statically, where the plug-in cannot find it.
extern "C" void __wrap__Unwind_Resume(struct _Unwind_Exception* exception) {
  _Unwind_Resume(exception);
}
