// Thin wrappers over the C library for files, directories, temporary names
// and the platform name. Returned strings are new heap copies that the caller
// frees with free().
#pragma once

#include <cstdio>
#include <ctime>
#include <functional>

#include "KvBoolean.h"

KvBoolean KvCheckIfFile(const char* path);
KvBoolean KvCheckIfDirectory(const char* path);
// Size in bytes; 0 when the path cannot be examined.
long KvGetFileSize(const char* path);
// Modification time in seconds; 0 when the path cannot be examined.
time_t KvGetTimeStamp(const char* path);
// Copies from to `to`, creating it with mode (0644 for the two-argument form)
// or truncating it. False when anything fails.
KvBoolean KvFileCopy(const char* from, const char* to);
KvBoolean KvFileCopy(const char* from, const char* to, int mode);
KvBoolean KvRemoveFile(const char* path);
// Reads up to size bytes; true with *count set when something was read, false
// with *count 0 at end of file. Throws KvError* on a read error.
KvBoolean KvReadFileIntoBuf(FILE* fp, char* buf, int size, int* count);
// $TMPDIR when it is set and not empty. Otherwise, for a program of an
// installation (running in TOP/htdocs/<app>/bin, so that "../../../config"
// is a folder), the installation's private folder TOP/tmp as an absolute
// path, made with mode 0700 when missing; else "/tmp".
char* KvGetTmpdir();
// Creates a new empty file (mode 0600) in KvGetTmpdir() whose name holds the
// process id and returns its path; the caller removes the file. Null when no
// file could be created.
char* KvGetTmpFileName();
// Removes the regular files directly inside dir that belong to this
// process's user, whose names isLeftover accepts and that were last changed
// at least maxAge seconds ago. Returns how many were removed.
int KvRemoveLeftovers(const char* dir,
                      const std::function<bool(const char*)>& isLeftover,
                      long maxAge);
// The decimal integer text (optional sign, blanks around it allowed) when it
// lies within [low, high]; false, leaving *value alone, for anything else,
// including numbers too large for any integer type.
bool KvParseInt(const char* text, long low, long high, long* value);
// strerror(errno), or null.
char* KvGetLastErrorString();
// The name of the platform the program runs on, e.g. "Linux x86_64".
char* KvGetPlatform();
