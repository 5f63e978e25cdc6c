// The handler that edits the business card's headings: at most five fields,
// headings may be left blank.
#pragma once

#include "VelmoraAdminLabel.h"

class VelmoraAdminJcardLabel : public VelmoraAdminLabel {
 public:
  VelmoraAdminJcardLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminJcardLabel() override;
  Page* HandleEvent(const char* program) override;

  VCard* GetTemplateCard() override;
  KvBoolean WriteTemplateCard(VCard* card) override;
  const char* GetTopLevelProgramName() override;
  const char* GetProgramName() override;
  const char* GetHeading() override;
  const char* GetHeadText() override;
  const char* GetHelpContext() override;
  int MaxAllowedToCheck() override;
  KvBoolean BlankValuesAllowed() override;
};
