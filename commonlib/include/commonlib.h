// The CGI request layer: request objects, form and cookie parsers, the
// process entry and the thread shims.
#pragma once

#include "RequestInfo.h"
#include "CGIRequestInfo.h"
#include "CGIMain.h"
#include "KvThread.h"
