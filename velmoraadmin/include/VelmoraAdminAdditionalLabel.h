// The handler that edits the additional information fields.
#pragma once

#include "VelmoraAdminLabel.h"

class VelmoraAdminAdditionalLabel : public VelmoraAdminLabel {
 public:
  VelmoraAdminAdditionalLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminAdditionalLabel() override;
  Page* HandleEvent(const char* program) override;
};
