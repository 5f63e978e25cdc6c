// Records of a delimited text file (RFC 4180 quoting with any one-character
// delimiter), read one at a time.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The most columns the import pages and the conversion take from a file.
constexpr int kMaxDelimitedColumns = 4096;

class DelimitedReader {
 public:
  // fp stays the caller's and must outlive the reader.
  DelimitedReader(FILE* fp, char delimiter) : fp_(fp), delimiter_(delimiter) {}
  DelimitedReader(const DelimitedReader&) = delete;
  DelimitedReader& operator=(const DelimitedReader&) = delete;

  // Reads the next record into fields: fields split at the delimiter; a
  // field in double quotes may hold the delimiter, line breaks and doubled
  // quotes; unquoted fields other than the last are trimmed of blanks and
  // tabs. A byte-order mark at the start, CR LF or LF line ends and empty
  // lines are skipped. *line is the physical line the record starts on. A
  // record whose quote is never closed comes back with *unusable set to a
  // reason. False at the end of the file.
  bool Next(std::vector<std::string>* fields, int* line, std::string* unusable);

 private:
  int Get();

  FILE* fp_;
  char delimiter_;
  int line_ = 1;
  bool started_ = false;
};
