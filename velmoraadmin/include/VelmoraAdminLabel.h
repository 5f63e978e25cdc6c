// The common base of the handlers that edit the headings of the business
// card, of the person page and of the additional information fields.
#pragma once

#include "VelmoraAdminCommon.h"

class VelmoraAdminLabel : public VelmoraAdminCommon {
 public:
  VelmoraAdminLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminLabel() override;
};
