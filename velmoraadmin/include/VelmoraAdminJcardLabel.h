// The handler that edits the business card's headings.
#pragma once

#include "VelmoraAdminLabel.h"

class VelmoraAdminJcardLabel : public VelmoraAdminLabel {
 public:
  VelmoraAdminJcardLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminJcardLabel() override;
  Page* HandleEvent(const char* program) override;
};
