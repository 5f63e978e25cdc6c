// Answering a request with the bytes of a file instead of a page, and
// taking a private copy of a file.
#pragma once

#include "commonlib.h"

class KvConfigDB;

// Copies path to a new temporary file and returns its name (caller frees
// with free() and removes the file); null when the copy failed.
char* KvGetFilePath(const char* path);

// Sends the file at path as the whole response, named fileName. The content
// type is mimeType when given, else the configured type for the extension
// of fileName (config may be null: "text/plain"). Returns 1 when the file
// was sent, 0 when it could not be opened (nothing written then). Throws
// KvError* when reading fails half-way.
int KvStreamFile(RequestInfo* req, const char* fileName, const char* path,
                 KvConfigDB* config, const char* mimeType);
