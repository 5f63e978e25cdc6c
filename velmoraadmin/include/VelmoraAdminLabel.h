// The common base of the handlers that edit the headings of the business
// card, of the person page and of the additional information fields: a
// change form listing the administrator's own card fields, an order page
// with arrows, and a read-only summary. Variants supply the names, the
// template store and the limits.
#pragma once

#include "VelmoraAdminCommon.h"

class ValNameList;

class VelmoraAdminLabel : public VelmoraAdminCommon {
 public:
  VelmoraAdminLabel(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminLabel() override;

  // One field row of the change form: check box and heading input go into
  // table, the hidden position into form. All objects stay the caller's.
  virtual void AddVCardEntryToTable(KvPage* page, KvForm* form, KvTable* table,
                                    int row, int position, VCardEntry* entry,
                                    VCard* templateCard);
  virtual KvBoolean GetDefaultCBForEntry();
  virtual void SetDefaultCBForEntry(KvBoolean on);
  // "direction" is "up" or "down".
  virtual KvBoolean ArrowAction();
  // Checked rows of the change form among "numFldsDisplayd".
  virtual int NumChecked();
  // New cards the caller deletes; GetDataCard gives null when the logged-in
  // administrator has no card. Throw KvError*.
  virtual VCard* GetTemplateCard() = 0;
  // card stays the caller's. Returns true; throws KvError* when the store
  // refuses the card.
  virtual KvBoolean WriteTemplateCard(VCard* card) = 0;
  virtual VCard* GetDataCard();
  virtual const char* GetTopLevelProgramName() = 0;
  virtual const char* GetProgramName() = 0;
  // Name of the heading image.
  virtual const char* GetHeading() = 0;
  // The explanation for the current step; owned by the application object.
  virtual const char* GetHeadText() = 0;
  virtual const char* GetHelpContext() = 0;
  // Pages are new objects the caller deletes; message may be null.
  virtual Page* GenLabelChangeForm(const char* message);
  // -1: no limit.
  virtual int MaxAllowedToCheck() = 0;
  virtual KvBoolean BlankValuesAllowed() = 0;
  virtual Page* ProcessChangeForm();
  virtual Page* GenLabelOrderChangeForm(const char* message);
  // Whether the change form's script insists on a heading for each checked
  // row.
  virtual KvBoolean GenerateCheckInputFieldsFunc();

  Page* ProcessSaveForm();
  Page* GenReadOnlyLabelsPage();
  // The rows of the order page (caller deletes): name = the field's
  // position in dataCard, value = the change form's row or "-1" after an
  // arrow. Rows naming no field of dataCard are left out.
  ValNameList* GetDisplayOrderList(VCard* dataCard, VCard* templateCard);

 protected:
  // The directory's name for a field of a card list; caller frees.
  virtual char* GetEntryDisplayName(VCardEntry* entry);
  // A page with help context, heading image and message (may be null).
  KvPage* NewLabelPage(const char* message);
  // A whole decimal number of the form variable name, or fallback when it is
  // missing or not a number.
  int IntVar(const char* name, int fallback) const;
  // The key of the variant's three explanations for the current step.
  const char* HeadTextFor(const char* key1, const char* key2,
                          const char* key3);

  // The form of a step that posts to subProgram, with the explanation; it
  // is put into page, which owns it.
  KvForm* NewLabelForm(KvPage* page, const char* subProgram);
  // The parts of an order page. NewOrderTable is the four-column table
  // headed first and second (the caller adds it); AddArrowCells adds a row's
  // down and up arrow cells, or empty cells; AddOrderButtons ends the form
  // and page with the arrows' hidden fields and the save and cancel buttons,
  // taking cancel.
  static KvTable* NewOrderTable(const char* first, const char* second);
  static void AddArrowCells(KvTable* table, int row, bool down, bool up);
  static void AddOrderButtons(KvPage* page, KvForm* form, Url* cancel);

  KvBoolean rowAdded;
  KvBoolean defaultCB;
};
