// The additional information fields: the change form with a heading and a
// size per field, the add form, deleting a field, saving headings and sizes,
// the order page and its saving, and the summary.
#include "VelmoraAdminAdditionalLabel.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const char kFormName[] = "createform";
const char kAdminJS[] = "admin.js";
const char kProcessProgram[] = "proModAddnalFlds";
const char kBlankMessage[] =
    "Please make sure you enter all the values in Field Heading(s) and "
    "Size(s) and try again.";
const char kBlankLog[] = "Validation of fields failed. Values in field(s) is blank.";
const char kSizeMessage[] =
    "Please make sure you enter valid integer values in the Size(s) field and "
    "try again.";
const char kFoldMessage[] =
    "A field heading may not end in \"=0A=\". Please change it and try again.";
const char kSizeLog[] =
    "Validation of fields failed. Value entered in size field(s) is not valid.";
const char kMissingVar[] =
    "Error: Did not find the requested var. Cannot proceed without it. "
    "Internal error.";

bool AllDigits(const char* text) {
  if (text == nullptr || *text == '\0') return false;
  for (const char* p = text; *p; ++p)
    if (*p < '0' || *p > '9') return false;
  return true;
}

// A non-negative decimal row or field number, or -1.
int Number(const char* text) {
  if (!AllDigits(text) || strlen(text) > 9) return -1;
  return atoi(text);
}

std::string OneLine(const char* text) {
  std::string out(text ? text : "");
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

Url* ProcessUrl(const char* program, const char* sub) {
  Url* url = new Url("velmoraadmin.cgi");
  url->addAttribute("program", program);
  if (sub) url->addAttribute("sub_program", sub);
  return url;
}

}  // namespace

VCard* VelmoraAdminAdditionalLabel::GetTemplateCard() {
  return application->GetUserDB()->GetPersonTemplate();
}
KvBoolean VelmoraAdminAdditionalLabel::WriteTemplateCard(VCard*) { return true; }
const char* VelmoraAdminAdditionalLabel::GetTopLevelProgramName() {
  return "genChangeAdditionalInfoForm";
}
const char* VelmoraAdminAdditionalLabel::GetProgramName() {
  return kProcessProgram;
}
const char* VelmoraAdminAdditionalLabel::GetHeading() {
  return "hcustadditionalinfo";
}
const char* VelmoraAdminAdditionalLabel::GetHelpContext() {
  return "Customize Additional Info";
}
int VelmoraAdminAdditionalLabel::MaxAllowedToCheck() { return -1; }
KvBoolean VelmoraAdminAdditionalLabel::BlankValuesAllowed() { return false; }

ValNameList* VelmoraAdminAdditionalLabel::FetchFieldsList() {
  return application->GetUserDB()->GetFieldsList();
}

KvBoolean VelmoraAdminAdditionalLabel::WriteFieldsList(ValNameList* fields) {
  return application->GetUserDB()->WriteFieldsList(fields);
}

ValNameList* VelmoraAdminAdditionalLabel::ReadFieldsList() {
  std::unique_ptr<ValNameList> fields(FetchFieldsList());
  if (!fields) fields.reset(new ValNameList());
  if (fields->GetCount() % 2 != 0)
    KV_THROW("Error: GetFieldsList() returned odd number of entries.");
  return fields.release();
}

void VelmoraAdminAdditionalLabel::StoreFieldsList(ValNameList* fields) {
  if (!WriteFieldsList(fields))
    KV_THROW("Unable to store the additional information fields");
  Audit(("additional fields saved: " + std::to_string(fields->GetCount() / 2) + " fields")
            .c_str());
}

KvBoolean VelmoraAdminAdditionalLabel::IsArrowRequest() { return ArrowAction(); }

const char* VelmoraAdminAdditionalLabel::GetHeadText() {
  try {
    const char* sub = request->FindVar("sub_program");
    const char* key = nullptr;
    if (sub && strcasecmp(sub, "genaddform") == 0)
      key = "CustAdditionalHdg3";
    else if ((sub && strcasecmp(sub, "procSave") == 0) || IsArrowRequest())
      key = "CustAdditionalHdg2";
    else if (sub && strcasecmp(sub, "procDel") == 0)
      key = "CustAdditionalHdg1";
    else if (strcasecmp(ProgramName(), "genChangeAdditionalInfoForm") == 0 ||
             strcasecmp(ProgramName(), kProcessProgram) == 0)
      key = "CustAdditionalHdg1";
    return key ? application->GetMessage(key) : "";
  } catch (KvError* e) {
    KV_ADD_LINE(e,
                "Getting of the Text area for explanation at the top of page "
                "failed.");
    throw;
  }
}

Page* VelmoraAdminAdditionalLabel::ProcessChangeForm() {
  const char* sub = request->FindVar("sub_program");
  struct Step {
    const char* name;
    Page* (VelmoraAdminAdditionalLabel::*page)();
  };
  static const Step kSteps[] = {
      {"genaddform", &VelmoraAdminAdditionalLabel::GenAddLabelForm},
      {"processadd", &VelmoraAdminAdditionalLabel::ProcessAddRequest},
      {"procDel", &VelmoraAdminAdditionalLabel::ProcessDeleteRequest},
      {"procSave", &VelmoraAdminAdditionalLabel::ProcessLabelSaveRequest},
      {"procSaveOrder", &VelmoraAdminAdditionalLabel::ProcessOrderSaveRequest},
  };
  for (const Step& step : kSteps)
    if (sub && strcasecmp(sub, step.name) == 0) return (this->*step.page)();
  KV_THROW(
      "Error: Bad subFunction name in VelmoraAdminAdditionalLabel::ProcessChangeForm");
}

Page* VelmoraAdminAdditionalLabel::GenLabelChangeForm(const char* message) {
  try {
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    std::unique_ptr<KvPage> page(NewLabelPage(message));
    page->AddJSSubmitForm();
    page->AddJSIsInteger();
    page->AddJSConfirmDelete();
    page->AddJSFunction(kAdminJS, "IsNamePropertyExists");
    page->AddJSFunction(kAdminJS, "validateAdditionalFieldsSubmitForm");

    KvForm* form = NewLabelForm(page.get(), "procSave");
    form->addObject(new KvImageButton(ProcessUrl(kProcessProgram, "genaddform"),
                                      "badd", "Add a new field"));
    KvTable* table = new KvTable(2, 0, 0);
    form->addObject(table);
    table->addObject(new I("Field Heading"));
    table->addObject(new I("Size"));

    int row = 0;
    for (ValNameListItem* desc = fields->GetFirst(); desc && desc->next;
         desc = desc->next->next, ++row) {
      ValNameListItem* size = desc->next;
      Url* target = ProcessUrl(kProcessProgram, "procDel");
      target->addAttribute("arg", desc->name);
      std::string question = std::string("Do you really want to delete the field ") +
                             (desc->value ? desc->value : "") + " ?";
      HTMLObject* left = new HTMLObject();
      left->addObject(new KvImageButton(
          new ConfirmDeleteUrl(question.c_str(), target), "bdelete",
          "Delete this field"));
      left->addObject(new KvTextInput(desc->name, desc->value ? desc->value : "", 20));
      left->addObject(new KvHiddenInput(("ord_" + std::to_string(row)).c_str(), row));
      table->addObject(left);
      table->addObject(new KvTextInput(size->name, size->value ? size->value : "", 3));
      if (row == 0) page->AddFormFocusTo(kFormName, desc->name);
    }
    form->addObject(new KvHiddenInput("hiddennumFlds", row));
    page->AppendToBody(new Hr());
    page->AppendToBody(new KvImageButton(
        "javascript:validateAdditionalFieldsSubmitForm()", "bsave",
        "Save all changes"));
    page->AppendToBody(new KvImageButton("../help/diradmin_sum.htm", "bcancel",
                                         "Discard changes"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e,
                "Exception rethrown in VelmoraAdminAdditionalLabel::GenLabelChangeForm");
    throw;
  }
}

Page* VelmoraAdminAdditionalLabel::GenAddLabelForm() {
  try {
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    std::unique_ptr<KvPage> page(NewLabelPage(nullptr));
    page->AddJSSubmitForm();
    page->AddJSIsInteger();
    page->AddJSFunction(kAdminJS, "validateAddAddnlFieldSubmitForm");
    KvForm* form = NewLabelForm(page.get(), "processadd");
    KvTable* table = new KvTable(2, 0, 0);
    form->addObject(table);
    table->addObject(new Center(new B("Field Heading")));
    table->addObject(new KvTextInput("fldheading", "", 20));
    table->addObject(new Center(new B("Size")));
    table->addObject(new KvTextInput("size", "50"));
    page->AddFormFocusTo(kFormName, "fldheading");
    form->addObject(new Br());
    KvTable* existing = new KvTable(2, 0, 0);
    form->addObject(existing);
    for (ValNameListItem* desc = fields->GetFirst(); desc && desc->next;
         desc = desc->next->next) {
      existing->addObject(new B(desc->value ? desc->value : ""));
      existing->addObject(new B(desc->next->value ? desc->next->value : ""));
    }
    page->AppendToBody(new Hr());
    page->AppendToBody(new KvImageButton(
        "javascript:validateAddAddnlFieldSubmitForm()", "bsave",
        "Save the new field"));
    page->AppendToBody(new KvImageButton(
        ProcessUrl("genChangeAdditionalInfoForm", nullptr), "bcancel",
        "Discard changes"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAdditionalLabel::GenAddLabelForm");
    throw;
  }
}

Page* VelmoraAdminAdditionalLabel::ProcessAddRequest() {
  try {
    KvChangeLock change;  // held from the read to the write
    const char* heading = request->FindVar("fldheading");
    const char* size = request->FindVar("size");
    if (heading == nullptr || *heading == '\0' || size == nullptr ||
        *size == '\0') {
      log->AddMsg(KV_INFO, kBlankLog);
      return GenLabelChangeForm(kBlankMessage);
    }
    if (!AllDigits(size)) {
      log->AddMsg(KV_INFO, kSizeLog);
      return GenLabelChangeForm(kSizeMessage);
    }
    std::string headingText = OneLine(heading);
    if (!KvListValueStorable(headingText.c_str())) return GenLabelChangeForm(kFoldMessage);
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    // A field is named by its creation second; two made within one second
    // take the next free one.
    long long t = static_cast<long long>(Now());
    while (fields->Lookup(("Desc_" + std::to_string(t)).c_str()) ||
           fields->Lookup(("Size_" + std::to_string(t)).c_str()))
      ++t;
    fields->Prepend(("Size_" + std::to_string(t)).c_str(), size);
    fields->Prepend(("Desc_" + std::to_string(t)).c_str(), headingText.c_str());
    StoreFieldsList(fields.get());
    Page* page = GenLabelChangeForm(nullptr);
    log->AddMsg(KV_INFO,
                (headingText + "'s attributes Added/Saved successfully").c_str());
    return page;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAdditionalLabel::ProcessAddRequest");
    throw;
  }
}

Page* VelmoraAdminAdditionalLabel::ProcessDeleteRequest() {
  try {
    KvChangeLock change;  // held from the read to the write
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    const char* arg = request->FindVar("arg");
    if (arg == nullptr)
      KV_THROW("Error: did not receive the name of the field to remove. Internal error..");
    // Only a heading item of the list names a field; removing anything else
    // would leave a heading without its size.
    ValNameListItem* desc = fields->Lookup(arg);
    if (strncasecmp(arg, "Desc_", 5) != 0 || desc == nullptr)
      return GenLabelChangeForm(nullptr);
    std::string sizeName = std::string("Size_") + (arg + 5);
    std::string descName = desc->name;
    fields->Remove(descName.c_str());
    fields->Remove(sizeName.c_str());
    StoreFieldsList(fields.get());
    return GenLabelChangeForm((std::string(arg) + " deleted successfully").c_str());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAdditionalLabel::ProcessDeleteRequest");
    throw;
  }
}

Page* VelmoraAdminAdditionalLabel::ProcessLabelSaveRequest() {
  try {
    KvChangeLock change;  // held from the read to the write
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    for (ValNameListItem* item = fields->GetFirst(); item; item = item->next) {
      const char* value = item->name ? request->FindVar(item->name) : nullptr;
      if (value == nullptr || *value == '\0') {
        log->AddMsg(KV_INFO, kBlankLog);
        return GenLabelChangeForm(kBlankMessage);
      }
      if (strstr(item->name, "Size") && !AllDigits(value)) {
        log->AddMsg(KV_INFO, kSizeLog);
        return GenLabelChangeForm(kSizeMessage);
      }
      if (!KvListValueStorable(OneLine(value).c_str())) return GenLabelChangeForm(kFoldMessage);
    }
    for (ValNameListItem* item = fields->GetFirst(); item; item = item->next) {
      std::string value = OneLine(request->FindVar(item->name));
      free(item->value);
      item->value = strdup(value.c_str());
    }
    StoreFieldsList(fields.get());
    Page* page = fields->GetCount() > 2 ? GenLabelOrderChangeForm(nullptr)
                                        : GenReadOnlyLabelsPage();
    log->AddMsg(KV_INFO, "Field Attributes saved successfully");
    return page;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error: Unable to process the Label Save request!");
    throw;
  }
}

ValList* VelmoraAdminAdditionalLabel::GetDisplayOrderList() {
  const char* count = request->FindVar("hiddennumFlds");
  if (count == nullptr) KV_THROW(kMissingVar);
  int n = Number(count);
  std::unique_ptr<ValList> order(new ValList());
  for (int row = 0; row < n; ++row) {
    const char* p = request->FindVar(("ord_" + std::to_string(row)).c_str());
    if (p == nullptr) KV_THROW(kMissingVar);
    order->Append(p);
  }
  if (IsArrowRequest()) {
    const char* which = request->FindVar("whichone");
    if (which == nullptr)
      KV_THROW(
          "Error: Did not find which one to exchange. Cannot proceed without it. "
          "Internal error.");
    int k = Number(which);
    if (strcasecmp(request->FindVar("direction"), "up") == 0) k = k - 1;
    ValListItem* a = k >= 0 ? order->GetNthItem(k) : nullptr;
    if (a && a->next) order->SwapItems(a, a->next);
  }
  return order.release();
}

Page* VelmoraAdminAdditionalLabel::GenLabelOrderChangeForm(const char* message) {
  try {
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    std::unique_ptr<ValList> order(GetDisplayOrderList());
    std::unique_ptr<KvPage> page(NewLabelPage(message));
    page->AddJSSubmitForm();
    page->AddJSFunction(kAdminJS, "arrowActionsubmitForm");
    KvForm* form = NewLabelForm(page.get(), "procSaveOrder");
    KvTable* table = NewOrderTable("Field Heading", "Size");
    form->addObject(table);

    // Rows naming no field, or a field already shown, are dropped.
    int numFields = fields->GetCount() / 2;
    std::set<int> shown;
    std::vector<int> rows;
    for (ValListItem* item = order->GetFirst(); item; item = item->next) {
      int p = Number(item->value);
      if (p >= 0 && p < numFields && shown.insert(p).second) rows.push_back(p);
    }
    int count = static_cast<int>(rows.size());
    for (int r = 0; r < count; ++r) {
      int p = rows[r];
      ValNameListItem* desc = fields->GetNthItem(2 * p);
      table->addObject(new B(desc->value ? desc->value : ""));
      table->addObject(new B(desc->next->value ? desc->next->value : ""));
      AddArrowCells(table, r, r < count - 1, r > 0);
      form->addObject(new KvHiddenInput(("ord_" + std::to_string(r)).c_str(), p));
    }
    form->addObject(new KvHiddenInput("hiddennumFlds", count));
    AddOrderButtons(page.get(), form, ProcessUrl(GetTopLevelProgramName(), nullptr));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error: Processing of Generation of Label Order Page failed.");
    throw;
  }
}

Page* VelmoraAdminAdditionalLabel::ProcessOrderSaveRequest() {
  try {
    if (IsArrowRequest()) return GenLabelOrderChangeForm(nullptr);
    KvChangeLock change;  // held from the read to the write
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    std::unique_ptr<ValList> order(GetDisplayOrderList());
    int numFields = fields->GetCount() / 2;
    std::unique_ptr<ValNameList> sorted(new ValNameList());
    std::set<int> taken;
    auto take = [&](int p) {
      ValNameListItem* desc = fields->GetNthItem(2 * p);
      sorted->Append(desc->name, desc->value);
      sorted->Append(desc->next->name, desc->next->value);
    };
    for (ValListItem* item = order->GetFirst(); item; item = item->next) {
      int p = Number(item->value);
      if (p >= 0 && p < numFields && taken.insert(p).second) take(p);
    }
    // Fields the order did not name (added meanwhile, or a row lost on the
    // way) keep their place after the ordered ones instead of being dropped.
    for (int p = 0; p < numFields; ++p)
      if (taken.insert(p).second) take(p);
    StoreFieldsList(sorted.get());
    Page* page = GenReadOnlyLabelsPage();
    log->AddMsg(KV_INFO, "Order of the Additional fields saved successfully");
    return page;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error: Processing of Order Save request failed.");
    throw;
  }
}

Page* VelmoraAdminAdditionalLabel::GenReadOnlyLabelsPage() {
  try {
    std::unique_ptr<ValNameList> fields(ReadFieldsList());
    std::unique_ptr<KvPage> page(NewLabelPage(nullptr));
    page->AppendToBody(new Br());
    page->AppendToBody(new Br());
    if (fields->GetCount() == 0) {
      page->AppendToBody("There are no Additional Information Fields.");
      return page.release();
    }
    page->AppendToBody(application->GetMessage("CustAdditionalHdg4"));
    page->AppendToBody(new Br());
    page->AppendToBody(new Br());
    KvTable* table = new KvTable(2, 0, 0);
    page->AppendToBody(table);
    table->addObject(new I("Field Heading"));
    table->addObject(new I("Size"));
    for (ValNameListItem* desc = fields->GetFirst(); desc && desc->next;
         desc = desc->next->next) {
      table->addObject(new B(desc->value ? desc->value : ""));
      table->addObject(new B(desc->next->value ? desc->next->value : ""));
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e,
                "Exception rethrown in VelmoraAdminAdditionalLabel::GenReadOnlyLabelsPage");
    throw;
  }
}
