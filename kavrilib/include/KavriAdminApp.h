// The application object of the administrator programs.
#pragma once

#include "KavriBaseApp.h"

// The administrator programs' application object: the common message file is
// that of the admin programs.
class KavriAdminApp : public KavriBaseApp {
 public:
  KavriAdminApp(const char* name, const char* programFile,
                const char* appMessageFile);
  ~KavriAdminApp() override;
};

// Path of the message file shared by the admin programs.
extern const char kKavriAdminMessageFile[];  // "../../admin/bin/adminmsg.lst"
