// Private helpers of versitlib for raising and extending KvError objects.
#pragma once

#include <string>

#include "utillib.h"

// Throws a new KvError of kind kKvErrorParse whose message is also a user
// line.
[[noreturn]] void VersitThrowParseError(int line, const char* file,
                                          const std::string& message);
// Adds a user-visible line to a caught error.
void VersitAddUserLine(KvError* error, int line, const char* file,
                       const std::string& message);
// Throws a new KvError of the default kind with a trace-only line.
[[noreturn]] void VersitThrowFault(int line, const char* file,
                                          const std::string& message);
// Adds a trace-only line to a caught error.
void VersitAddTraceLine(KvError* error, int line, const char* file,
                       const std::string& message);

#define VERSIT_PARSE_ERROR(message) \
  VersitThrowParseError(__LINE__, KvSourceName(__FILE__), (message))
#define VERSIT_FAULT(message) \
  VersitThrowFault(__LINE__, KvSourceName(__FILE__), (message))
#define VERSIT_ADD_USER_LINE(error, message) \
  VersitAddUserLine((error), __LINE__, KvSourceName(__FILE__), (message))
#define VERSIT_ADD_TRACE_LINE(error, message) \
  VersitAddTraceLine((error), __LINE__, KvSourceName(__FILE__), (message))
