// The handler of the access-control pages.
#pragma once

#include "VelmoraAdminCommon.h"

class VelmoraAdminAccessControl : public VelmoraAdminCommon {
 public:
  VelmoraAdminAccessControl(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminAccessControl() override;
  Page* HandleEvent(const char* program) override;
};
