// The handler of the data import pages; it dispatches on "sub_program"
// (or on "program" when that is absent).
#pragma once

#include "VelmoraAdminCommon.h"

class VelmoraAdminImportData : public VelmoraAdminCommon {
 public:
  VelmoraAdminImportData(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminImportData() override;
  Page* HandleEvent(const char* program) override;
};
