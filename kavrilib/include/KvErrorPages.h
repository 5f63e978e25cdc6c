// Pages shared by every admin program for errors and feedback: the
// bug-report page, the message page, the generic feedback page, and the
// table of LDAP connection values. Each page is new; the caller deletes it.
#pragma once

#include "KvPage.h"
#include "KvTable.h"
#include "commonlib.h"
#include "htmllib.h"
#include "utillib.h"

// The bug-report page for the trace lines, replacing the whole browser
// window: a mail form to address for browsers that can send one (type 1,
// version 3.0 or later), mail instructions with the traceback otherwise.
// lines stays the caller's.
Page* KvCreateErrorPage(ValList* lines, const char* bugReportAddress,
                        RequestInfo* req);

// A page listing messages (newest first as the error holds them) in bold.
// messages stays the caller's and may be null.
Page* EmitNicePage(ValList* messages);

// The feedback page: a mail form to address for capable browsers, mail
// instructions otherwise.
Page* KvCreateGenericFeedbackPage(const char* image, const char* heading,
                                  const char* address, RequestInfo* req);

// The rows of LDAP connection values of the LDAP set-up form. With
// fixedNames the root DN and search base are fixed texts sent as hidden
// inputs. The caller owns the table.
KvTable* GetLDAPInfoTable(const char* machine, int port, const char* rootDN,
                          KvBoolean fixedNames, const char* searchBase);
