// The system's one error type. A KvError is created with new, given a line
// with AddLine and thrown as a pointer; each level that catches it may add a
// line of context and throw the same pointer on; the level that handles it
// takes ownership at once (std::unique_ptr<KvError> owned(e);) and deletes it.
#pragma once

#include "KvBoolean.h"
#include "String.h"

class ValList;

// Values of KvError::kind.
const int kKvErrorFault = 2;        // a fault in the program or its data
const int kKvErrorUnreachable = 3;  // the directory back end is unreachable
const int kKvErrorParse = 4;        // a vCard parse error shown to the user

class KvError {
 public:
  // Both lists empty, kind kKvErrorFault.
  KvError();
  virtual ~KvError();
  KvError(const KvError&) = delete;
  KvError& operator=(const KvError&) = delete;

  // Inserts "Error : line <line> in file <file> : <message>" at the front of
  // the trace lines; when forUser is true the bare message also goes to the
  // front of the user lines.
  virtual void AddLine(int line, const String& file, const String& message,
                       KvBoolean forUser = false);
  // A new error (caller deletes) with copies of both lists and the same kind.
  KvError* Copy() const;

  // Newest first; owned by this error.
  ValList* GetLines() const { return lines; }
  ValList* GetUserLines() const { return userLines; }
  int GetKind() const { return kind; }
  void SetKind(int k) { kind = k; }

  ValList* lines;
  ValList* userLines;
  int kind;
};

// The file name part of a source path, pointing into its argument.
const char* KvSourceName(const char* path);

// Creates a KvError with one line (line, file, message; not for the user)
// and throws it.
[[noreturn]] void KvThrowError(int line, const char* file,
                               const String& message);

// Raise a new error at the current source position.
#define KV_THROW(message) KvThrowError(__LINE__, KvSourceName(__FILE__), (message))
// Add a line of context at the current source position to a caught error.
#define KV_ADD_LINE(error, message) \
  (error)->AddLine(__LINE__, KvSourceName(__FILE__), (message), 0)
