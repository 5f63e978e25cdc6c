// Helpers shared by the two list file readers and writers.
#pragma once

#include <cstdio>
#include <string>

namespace listfile {

// Reads one line of any length, without its line break; a last line without
// one counts. False at end of input (or on a read error) with nothing read.
bool ReadLine(FILE* fp, std::string* line);

// Flushes and closes a stream opened for writing; false when any write,
// the flush or the close failed. The stream is closed in every case.
bool FinishWriting(FILE* fp);

}  // namespace listfile
