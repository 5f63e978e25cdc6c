// Progress reports of long operations (indexing a data file, copying
// photographs) written to a streamed page and to the log.
#pragma once

class KvStreamPage;
class KvLog;
class CallbackProgress;

class CallbackContext {
 public:
  // Neither the page nor the log is owned; both may be null and must
  // outlive the context. text (the unit of the counts) is copied.
  CallbackContext(void* owner, KvStreamPage* page, const char* text,
                  KvLog* log);
  ~CallbackContext();
  CallbackContext(const CallbackContext&) = delete;
  CallbackContext& operator=(const CallbackContext&) = delete;

  void* owner;
  KvStreamPage* page;
  char* text;  // owned
  KvLog* log;
};

// The standard progress callback; context is a CallbackContext. A count of
// -1 reports a message and/or a list of errors, any other count is written
// with the context's text. Does nothing without a page.
void StdCallbackFunction(void* context, CallbackProgress* progress);
