// Process entry of the CGI program and its last-resort error page.
#pragma once

#include "RequestInfo.h"

// Supplied by the application layer: handles the filled request, writes the
// response through `req` and returns 0 (non-zero makes main show the
// fallback page). `req` stays owned by main.
int ModuleMain(RequestInfo* req);

// Stores in *out a heap copy (caller frees with free()) of the environment
// variable's value, or of "" when it is not set; never null.
void GetEnvironmentVar(char** out, const char* name);

// Writes the fallback error page, header line included, through
// req->Write. The caller ends the process afterwards.
void exitFunc(RequestInfo* req, const char* message);

// The value of "CONTENT_LENGTH" (RFC 3875 section 4.1.2): a decimal number of
// bytes. Anything else (empty, signed, trailing text) gives 0, meaning no
// body; a number beyond INT_MAX gives INT_MAX, which no body limit admits.
int KvParseContentLength(const char* text);
