// Helpers shared by the two list file readers and writers.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace listfile {

// Reads one line of any length, without its line break; a last line without
// one counts. False at end of input (or on a read error) with nothing read.
bool ReadLine(FILE* fp, std::string* line);

// Flushes and closes a stream opened for writing; false when any write,
// the flush or the close failed. The stream is closed in every case.
bool FinishWriting(FILE* fp);

// Opens path for reading and calls read with the stream. A null path or a
// file that cannot be opened reads nothing; an error thrown by read gets a
// line naming the file.
void ReadPath(const char* path, const std::function<void(FILE*)>& read);

// Creates or truncates path and calls write with the stream; throws when the
// file cannot be opened or a write failed.
void WritePath(const char* path, const std::function<void(FILE*)>& write);

}  // namespace listfile
