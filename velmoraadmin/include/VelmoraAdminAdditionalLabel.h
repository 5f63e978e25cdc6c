// The handler that edits the additional information fields: the directory's
// fields list holds, per field, "Desc_<t>" (heading) then "Size_<t>" (size),
// t being the field's creation time in seconds; new fields come first.
#pragma once

#include "VelmoraAdminLabel.h"

class ValList;

class VelmoraAdminAdditionalLabel : public VelmoraAdminLabel {
 public:
  VelmoraAdminAdditionalLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminAdditionalLabel() override;
  Page* HandleEvent(const char* program) override;

  VCard* GetTemplateCard() override;
  // Stores nothing; the fields list is written by the steps themselves.
  KvBoolean WriteTemplateCard(VCard* card) override;
  const char* GetTopLevelProgramName() override;
  const char* GetProgramName() override;
  const char* GetHeading() override;
  const char* GetHeadText() override;
  const char* GetHelpContext() override;
  int MaxAllowedToCheck() override;
  KvBoolean BlankValuesAllowed() override;

  // Pages are new objects the caller deletes; message may be null.
  Page* GenLabelChangeForm(const char* message) override;
  Page* ProcessChangeForm() override;
  Page* GenLabelOrderChangeForm(const char* message) override;
  Page* GenReadOnlyLabelsPage();
  Page* GenAddLabelForm();
  Page* ProcessAddRequest();
  Page* ProcessDeleteRequest();
  Page* ProcessLabelSaveRequest();
  Page* ProcessOrderSaveRequest();
  KvBoolean IsArrowRequest();
  // The field numbers of the order page's rows (caller deletes), with an
  // arrow's exchange applied. Throws KvError* when a row is missing.
  ValList* GetDisplayOrderList();

 protected:
  // The directory's fields list (caller deletes); throws KvError* when it
  // does not hold whole pairs.
  ValNameList* ReadFieldsList();
  // fields stays the caller's; throws KvError* when the store refuses it.
  void StoreFieldsList(ValNameList* fields);
  // The directory operations behind the two above.
  virtual ValNameList* FetchFieldsList();
  virtual KvBoolean WriteFieldsList(ValNameList* fields);
};
