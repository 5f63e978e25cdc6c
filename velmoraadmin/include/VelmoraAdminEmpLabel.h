// The handler that edits the person page's headings.
#pragma once

#include "VelmoraAdminLabel.h"

class VelmoraAdminEmpLabel : public VelmoraAdminLabel {
 public:
  VelmoraAdminEmpLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminEmpLabel() override;
  Page* HandleEvent(const char* program) override;
};
