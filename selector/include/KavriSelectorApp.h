// The person selector's application object.
#pragma once

#include "kavrilib.h"

class KavriSelectorApp : public KavriAdminApp {
 public:
  // Name "KavriSelector", program file "selector.cgi", the admin programs'
  // message file.
  KavriSelectorApp();
  ~KavriSelectorApp() override;
};

// The process's application object, created on first call and kept until
// the process ends.
KavriSelectorApp* KavriSelectorGetApp();
