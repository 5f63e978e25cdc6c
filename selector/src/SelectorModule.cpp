// The selector's module entry: every request goes to one handler.
#include "KavriSelector.h"

KavriBaseCommon* GetRequestObject(RequestInfo* req) {
  try {
    return new KavriSelector(req, KavriSelectorGetApp());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in GetRequestObject()");
    throw;
  }
}
