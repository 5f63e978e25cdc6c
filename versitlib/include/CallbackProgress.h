// The progress record that long versit operations (indexing a data file)
// hand to their caller's progress callback, and the callback's type.
#pragma once

class ValList;

class CallbackProgress {
 public:
  CallbackProgress() = default;

  // Sets all three fields; nothing is copied or owned.
  void Init(int count, char* message, ValList* list) {
    this->count = count;
    this->message = message;
    this->messageList = list;
  }

  // The number of records processed, or -1 when the record carries messages
  // only.
  int count = 0;
  // A text shown after the count; not owned.
  char* message = nullptr;
  // Error texts to show, or null; not owned.
  ValList* messageList = nullptr;
};

// A progress callback: called with the caller's opaque cookie and a record
// that is valid only during the call.
typedef void (*VersitProgressCallback)(void* cookie, CallbackProgress* progress);
