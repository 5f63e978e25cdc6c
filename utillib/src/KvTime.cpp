// KvTime: a time stamp formatted in local time.

#include "KvTime.h"

#include <cstdlib>
#include <cstring>
#include <string>

KvTime::KvTime() : time(::time(nullptr)), format(nullptr) {
  tzset();
  std::string f = "%d-%b-%y %H.%M.%S ";
  if (tzname[0]) f += tzname[0];
  format = strdup(f.c_str());
}

KvTime::~KvTime() { free(format); }

char* KvTime::GetCurrentTimeString(char* buf, int size) {
  if (buf == nullptr || size <= 0) return buf;
  struct tm local;
  if (localtime_r(&time, &local) == nullptr ||
      strftime(buf, static_cast<size_t>(size), format ? format : "", &local) == 0) {
    buf[0] = '\0';
  }
  return buf;
}
