// The console's cap on the size of a request body, read from the
// configuration setting "maxRequestSize". Linked into the program itself, so
// that it replaces the request layer's built-in default.
#include "velmoraadmin.h"

long long KvMaxRequestSize() {
  try {
    return VelmoraAdminGetApp()->GetConfigDB()->MaxRequestSize();
  } catch (KvError* e) {
    // The handler reports an unreadable configuration; the body is read
    // with the default cap meanwhile.
    delete e;
    return kKvDefaultMaxRequestSize;
  }
}
