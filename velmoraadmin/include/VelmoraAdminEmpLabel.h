// The handler that edits the person page's headings: any number of fields,
// each checked one with a heading.
#pragma once

#include "VelmoraAdminLabel.h"

class VelmoraAdminEmpLabel : public VelmoraAdminLabel {
 public:
  VelmoraAdminEmpLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminEmpLabel() override;
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
  KvBoolean GenerateCheckInputFieldsFunc() override;
};
