// A time stamp taken at construction, formatted in local time for log
// records and login times.
#pragma once

#include <ctime>

class KvTime {
 public:
  // Now, with the format "%d-%b-%y %H.%M.%S <zone>", e.g. 04-Dec-97 17.39.14 PST.
  KvTime();
  ~KvTime();
  KvTime(const KvTime&) = delete;
  KvTime& operator=(const KvTime&) = delete;

  // Formats the time stamp into buf (at most size bytes) and returns buf.
  char* GetCurrentTimeString(char* buf, int size);
  time_t GetTime() const { return time; }

  time_t time;
  char* format;  // owned
};
