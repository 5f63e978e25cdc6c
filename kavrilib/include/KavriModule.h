// The module entry through which the CGI layer hands a filled request to the
// application, and the top-level handling of errors that reach it.
#pragma once

#include "KavriBaseCommon.h"
#include "commonlib.h"
#include "utillib.h"

// Supplied by the module: a new handler for the request (ModuleMain deletes
// it). Creates the process's application object on first call. Throws
// KvError*.
KavriBaseCommon* GetRequestObject(RequestInfo* req);

// Logs the error's trace lines and sends the bug-report page for it. With no
// handler a configuration and a log ("Unknown") of their own are used; when
// a configuration cannot be read, the page shows that new error with
// "No logging done!" and the built-in bug-report address
// (kKvDefaultBugReportAddr) instead. error stays the caller's.
void ModuleMainExceptionHandler(KavriBaseCommon* handler, RequestInfo* req,
                                KvError* error);

// Writes every trace line of error to log (when given) at level 3, then
// sends the bug-report page with the bug-report address.
void KvExceptHandleFunc(KvError* error, RequestInfo* req, KvLog* log,
                        const char* bugReportAddress);

// New copies (caller frees with free()) of the version and copyright texts
// shown on the about page.
char* GetKavriVersionString();
char* GetKavriCopyrightString();
