// The standard progress callback of long operations: counts and messages
// go to the streamed page, messages and errors also to the log.
#include "CallbackContext.h"

#include <cstdlib>
#include <string>

#include "KvStreamPage.h"
#include "ToolkitText.h"
#include "dblib.h"
#include "versitlib.h"

using kavri_toolkit::DupOrNull;

CallbackContext::CallbackContext(void* owner, KvStreamPage* page,
                                 const char* text, KvLog* log)
    : owner(owner), page(page), text(DupOrNull(text)), log(log) {}

CallbackContext::~CallbackContext() { free(text); }

void StdCallbackFunction(void* context, CallbackProgress* progress) {
  CallbackContext* ctx = static_cast<CallbackContext*>(context);
  if (!ctx || !ctx->page || !progress) return;
  KvStreamPage* page = ctx->page;
  try {
    if (progress->count == -1) {
      if (progress->message) {
        page->addObject(new B(progress->message));
        if (ctx->log) ctx->log->AddMsg(KV_INFO, progress->message);
      }
      if (progress->messageList) {
        page->addObject(new H2("Error"));
        for (ValListItem* e = progress->messageList->GetFirst(); e; e = e->next) {
          page->addObject(new B(e->value));
          if (ctx->log) ctx->log->AddMsg(KV_ERROR, e->value);
        }
      }
    } else {
      std::string line = std::to_string(progress->count);
      line += " ";
      line += ctx->text ? ctx->text : "";
      page->addObject(line.c_str(), 0);
    }
    page->addObject(new Br());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in KvCallbackFunction()");
    throw;
  }
}
