// The console's application object.
#pragma once

#include "kavrilib.h"

class VelmoraAdminApp : public KavriAdminApp {
 public:
  // Name "VelmoraAdmin", program file "velmoraadmin.cgi"; appMessageFile
  // (may be null) is copied.
  explicit VelmoraAdminApp(const char* appMessageFile);
  ~VelmoraAdminApp() override;
};

// The process's application object, created on first call and kept until
// the process ends.
VelmoraAdminApp* VelmoraAdminGetApp();
