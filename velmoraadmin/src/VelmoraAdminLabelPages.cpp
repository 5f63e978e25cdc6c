// The heading editors' dialogue: the change form that picks the fields of the
// administrator's own card and their headings, the order page with its
// arrows, saving the order, and the read-only summary.
#include "VelmoraAdminLabel.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const char kFormName[] = "createform";
const char kAdminJS[] = "admin.js";
const char kHelpSummary[] = "../help/diradmin_sum.htm";

struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};
using CharPtr = std::unique_ptr<char, FreeDeleter>;

std::string RowName(const char* prefix, int row) {
  return std::string(prefix) + std::to_string(row);
}

// text inside a double-quoted JavaScript string within a script element: no
// quote, backslash or line break can end the string and no "</script>" can
// end the element.
std::string JSQuoted(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    switch (*p) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\'': out += "\\'"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '<': out += "\\x3c"; break;
      case '>': out += "\\x3e"; break;
      default: out += *p;
    }
  }
  return out;
}

bool IsOn(const char* value) { return value && strcasecmp(value, "on") == 0; }

// A new entry with the field's name and parameters and value as its value.
VCardEntry* NewTemplateEntry(VCardEntry* field, const char* value) {
  CharPtr name(field->GetNameAndSubTypes());
  VCardEntry* entry = VCardEntry::ParsePropertyName(name.get());
  entry->SetPropValue(value);
  return entry;
}

}  // namespace

VelmoraAdminLabel::VelmoraAdminLabel(RequestInfo* req, VelmoraAdminApp* app)
    : VelmoraAdminCommon(req, app), rowAdded(false), defaultCB(true) {}

VelmoraAdminLabel::~VelmoraAdminLabel() = default;

KvBoolean VelmoraAdminLabel::GetDefaultCBForEntry() { return defaultCB; }

void VelmoraAdminLabel::SetDefaultCBForEntry(KvBoolean on) { defaultCB = on; }

KvBoolean VelmoraAdminLabel::GenerateCheckInputFieldsFunc() { return false; }

int VelmoraAdminLabel::IntVar(const char* name, int fallback) const {
  const char* text = request->FindVar(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  errno = 0;
  long value = strtol(text, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (errno != 0 || end == text || *end != '\0' || value < INT_MIN ||
      value > INT_MAX)
    return fallback;
  return static_cast<int>(value);
}

KvBoolean VelmoraAdminLabel::ArrowAction() {
  try {
    const char* direction = request->FindVar("direction");
    return direction && (strcasecmp(direction, "up") == 0 ||
                         strcasecmp(direction, "down") == 0);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::ArrowAction");
    throw;
  }
}

int VelmoraAdminLabel::NumChecked() {
  try {
    int rows = IntVar("numFldsDisplayd", 0);
    if (rows <= 0) return 0;
    // The rows are counted from the check boxes that came with the form, so
    // that a row count from the client costs nothing to honour.
    std::unique_ptr<ValNameList> boxes(request->GetValListPrefix("checkbox_"));
    std::set<int> checked;
    for (ValNameListItem* item = boxes->GetFirst(); item; item = item->next) {
      if (!IsOn(item->value) || item->name == nullptr) continue;
      const char* digits = item->name + strlen("checkbox_");
      char* end = nullptr;
      long row = strtol(digits, &end, 10);
      if (end == digits || *end != '\0' || row < 0 || row >= rows) continue;
      checked.insert(static_cast<int>(row));
    }
    return static_cast<int>(checked.size());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::NumChecked");
    throw;
  }
}

VCard* VelmoraAdminLabel::GetDataCard() {
  try {
    return application->GetUserDB()->GetUserCard(GetMyUid());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::GetDataCard");
    throw;
  }
}

char* VelmoraAdminLabel::GetEntryDisplayName(VCardEntry* entry) {
  char* name = application->GetUserDB()->GetEntryDisplayName(entry);
  return name ? name : entry->GetDisplayRep();
}

const char* VelmoraAdminLabel::HeadTextFor(const char* key1, const char* key2,
                                           const char* key3) {
  const char* sub = request->FindVar("sub_program");
  const char* key = key1;
  if (sub != nullptr) {
    if (strcasecmp(sub, "genLabelOrder") == 0 || ArrowAction())
      key = key2;
    else if (strcasecmp(sub, "saveLabels") == 0)
      key = key3;
  }
  return application->GetMessage(key);
}

KvPage* VelmoraAdminLabel::NewLabelPage(const char* message) {
  KvPage* page = new KvPage(style->GetMainPageStyle());
  page->SetHelpContext(GetHelpContext());
  page->AppendToBody(new KvImage(GetHeading()));
  if (message) page->AppendToBody(new H2(message));
  return page;
}

void VelmoraAdminLabel::AddVCardEntryToTable(KvPage* page, KvForm* form,
                                             KvTable* table, int row,
                                             int position, VCardEntry* entry,
                                             VCard* templateCard) {
  try {
    CharPtr name(GetEntryDisplayName(entry));
    VCardEntry* shown = templateCard ? templateCard->GetEntry(entry) : nullptr;

    std::string box = RowName("checkbox_", row);
    KvCheckBox* check = new KvCheckBox(box.c_str(), "on");
    if (shown) check->MarkChecked();
    HTMLObject* cell = new HTMLObject();
    cell->addObject(check);
    cell->addObject(new B(name.get()));
    table->addObject(cell);

    std::string text = RowName("newentry_val_", row);
    table->addObject(new KvTextInput(text.c_str(),
                                     shown ? (shown->value ? shown->value : "")
                                           : name.get(),
                                     30));
    form->addObject(
        new KvHiddenInput(RowName("ord_", row).c_str(), position));
    if (row == 0) page->AddFormFocusTo(kFormName, text.c_str());
    rowAdded = true;
  } catch (KvError* e) {
    KV_ADD_LINE(e,
                "Exception rethrown in VelmoraAdminLabel::AddVCardEntryToTable");
    throw;
  }
}

Page* VelmoraAdminLabel::GenLabelChangeForm(const char* message) {
  try {
    std::unique_ptr<VCard> templateCard(GetTemplateCard());
    std::unique_ptr<VCard> data(GetDataCard());
    if (!data) KV_THROW("Unable to find the vcard for the webmaster");

    std::unique_ptr<KvPage> page(NewLabelPage(message));
    page->AddJSSubmitForm();
    KvForm* form = NewLabelForm(page.get(), "genLabelOrder");
    KvTable* table = new KvTable(2, 0, 0);
    form->addObject(table);
    table->addObject(new I("Field"));
    table->addObject(new I("Displayed As"));

    std::vector<std::string> script = {"function checkInputFields() {"};
    const std::string tab4(4, '\t'), tab8(8, '\t');
    int row = 0, position = 0;
    for (VCardEntry* entry = data->firstEntry; entry;
         entry = entry->next, ++position) {
      if (!entry->IsDisplayable()) continue;
      AddVCardEntryToTable(page.get(), form, table, row, position, entry,
                           templateCard.get());
      std::string box = "document.forms[0]." + RowName("checkbox_", row);
      std::string val = "document.forms[0]." + RowName("newentry_val_", row);
      CharPtr name(GetEntryDisplayName(entry));
      std::string shownName = JSQuoted(name.get());
      if (entry->id == kVCardFN) {
        script.push_back(tab4 + "if (" + box + ".checked != true) {");
        script.push_back(tab8 + "alert(\"" + shownName +
                         " should be always selected!\");");
        script.push_back(tab8 + "return " + box + ".focus()");
        script.push_back(tab4 + "}");
      }
      if (GenerateCheckInputFieldsFunc()) {
        script.push_back(tab4 + "if ((" + box + ".checked == true) && (" +
                         val + ".value == \"\")) {");
        script.push_back(tab8 + "alert(\"The checked field heading - " +
                         shownName +
                         " has an empty string in the Displayed As field!\");");
        script.push_back(tab8 + "return " + val + ".focus()");
        script.push_back(tab4 + "}");
      }
      ++row;
    }
    script.push_back(tab4 + "document.forms[0].method = \"POST\";");
    script.push_back(tab4 + "return document.forms[0].submit();");
    script.push_back("}");
    page->CheckScript();
    // One text, so that the lines keep their own indentation.
    std::string function = "\n";
    for (const std::string& line : script) function += line + "\n";
    page->GetScript()->addObject(function.c_str(), 0);

    form->addObject(new KvHiddenInput("numFldsDisplayd", row));
    page->AppendToBody(new Hr());
    page->AppendToBody(new KvImageButton("javascript:checkInputFields()",
                                         "bsave", "Save the values"));
    page->AppendToBody(
        new KvImageButton(kHelpSummary, "bcancel", "Discard changes"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::GenLabelChangeForm");
    throw;
  }
}

Page* VelmoraAdminLabel::ProcessChangeForm() {
  try {
    const char* sub = request->FindVar("sub_program");
    if (sub && strcasecmp(sub, "genLabelOrder") == 0)
      return GenLabelOrderChangeForm(nullptr);
    if (sub && strcasecmp(sub, "saveLabels") == 0)
      return ArrowAction() ? GenLabelOrderChangeForm(nullptr) : ProcessSaveForm();
    return nullptr;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::ProcessChangeForm");
    throw;
  }
}

ValNameList* VelmoraAdminLabel::GetDisplayOrderList(VCard* dataCard,
                                                    VCard* templateCard) {
  try {
    std::unique_ptr<ValNameList> list(new ValNameList());
    int fields = dataCard ? dataCard->GetNumEntries() : 0;
    // No form can have more rows than the card has fields.
    int rows = std::min(IntVar("numFldsDisplayd", 0), fields);
    auto validPosition = [&](int row) {
      int p = IntVar(RowName("ord_", row).c_str(), -1);
      return p >= 0 && p < fields && dataCard->GetNthEntry(p)->IsDisplayable() ? p : -1;
    };

    if (ArrowAction()) {
      for (int row = 0; row < rows; ++row) {
        int p = validPosition(row);
        if (p >= 0) list->Append(std::to_string(p).c_str(), "-1");
      }
      int k = IntVar("whichone", -1);
      const char* direction = request->FindVar("direction");
      if (strcasecmp(direction, "up") == 0) k = k > 0 ? k - 1 : -1;
      ValNameListItem* a = k >= 0 ? list->GetNthItem(k) : nullptr;
      ValNameListItem* b = a ? a->next : nullptr;
      if (a && b) list->SwapItems(a, b);
      return list.release();
    }

    // Row of the change form by position in the card.
    std::vector<int> rowOf(fields, -1);
    for (int row = 0; row < rows; ++row) {
      int p = validPosition(row);
      if (p >= 0 && rowOf[p] < 0) rowOf[p] = row;
    }
    auto checked = [&](int row) {
      return IsOn(request->FindVar(RowName("checkbox_", row).c_str()));
    };
    auto add = [&](int p, int row, bool front) {
      std::string name = std::to_string(p), value = std::to_string(row);
      if (front)
        list->Prepend(name.c_str(), value.c_str());
      else
        list->Append(name.c_str(), value.c_str());
    };

    if (templateCard) {
      for (VCardEntry* entry = templateCard->firstEntry; entry;
           entry = entry->next) {
        int p = dataCard->GetEntryOrder(entry);
        if (p < 0 || p >= fields || rowOf[p] < 0) continue;
        if (list->Lookup(std::to_string(p).c_str())) continue;
        if (checked(rowOf[p])) add(p, rowOf[p], entry->id == kVCardFN);
      }
    }
    int fnPosition = dataCard->GetEntryOrder(kVCardFN);
    for (int row = 0; row < rows; ++row) {
      int p = validPosition(row);
      if (p < 0 || !checked(row)) continue;
      if (list->Lookup(std::to_string(p).c_str())) continue;
      add(p, row, p == fnPosition);
    }
    return list.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::GetDisplayOrderList");
    throw;
  }
}

KvForm* VelmoraAdminLabel::NewLabelForm(KvPage* page, const char* subProgram) {
  KvForm* form = new KvForm(kFormName, new Url(application->GetProgramFile()));
  page->AppendToBody(form);
  form->addObject(new KvHiddenInput("program", GetProgramName()));
  form->addObject(new KvHiddenInput("sub_program", subProgram));
  form->addObject(GetHeadText(), 0);
  form->addObject(new Br());
  form->addObject(new Br());
  return form;
}

KvTable* VelmoraAdminLabel::NewOrderTable(const char* first, const char* second) {
  KvTable* table = new KvTable(4, 0, 0);
  table->addObject(new I(first));
  table->addObject(new I(second));
  table->addObject("", 0);
  table->addObject("", 0);
  return table;
}

void VelmoraAdminLabel::AddArrowCells(KvTable* table, int row, bool down, bool up) {
  struct Arrow {
    bool shown;
    const char* direction;
    const char* image;
    const char* text;
  };
  const Arrow arrows[] = {
      {down, "down", "marrowdown", "Move the label down one step"},
      {up, "up", "marrowup", "Move the label up one step"},
  };
  for (const Arrow& arrow : arrows) {
    if (!arrow.shown) {
      table->addObject("", 0);
      continue;
    }
    std::string link = std::string("javascript:arrowActionsubmitForm('") +
                       arrow.direction + "', '" + std::to_string(row) + "')";
    table->addObject(
        new Center(new KvImageButton(link.c_str(), arrow.image, arrow.text)));
  }
}

void VelmoraAdminLabel::AddOrderButtons(KvPage* page, KvForm* form, Url* cancel) {
  form->addObject(new KvHiddenInput("direction", "NO"));
  form->addObject(new KvHiddenInput("whichone", ""));
  page->AppendToBody(new Hr());
  page->AppendToBody(
      new KvImageButton(new SubmitFormUrl(), "bsave", "Save ordering of labels"));
  page->AppendToBody(
      new KvImageButton(cancel, "bcancel", "Discard changes to the ordering of labels"));
}

Page* VelmoraAdminLabel::GenLabelOrderChangeForm(const char* message) {
  try {
    int max = MaxAllowedToCheck();
    if (max != -1 && NumChecked() > max) {
      request->ReplaceVal("sub_program", "");
      std::string text = "You are allowed to select only " +
                         std::to_string(max) + " items.";
      return GenLabelChangeForm(text.c_str());
    }

    bool arrow = ArrowAction() == 1;
    // Held from the read of the template to the write of the new one.
    std::unique_ptr<KvChangeLock> change(arrow ? nullptr : new KvChangeLock());
    std::unique_ptr<VCard> templateCard(GetTemplateCard());
    std::unique_ptr<VCard> data(GetDataCard());
    if (!data) KV_THROW("Unable to find the vcard for the webmaster");

    std::unique_ptr<KvPage> page(NewLabelPage(message));
    page->AddJSSubmitForm();
    page->AddJSFunction(kAdminJS, "arrowActionsubmitForm");
    KvForm* form = NewLabelForm(page.get(), "saveLabels");
    KvTable* table = NewOrderTable("Field", "Displayed As");
    form->addObject(table);

    std::unique_ptr<ValNameList> order(
        GetDisplayOrderList(data.get(), templateCard.get()));
    std::unique_ptr<VCard> newTemplate(new VCard());
    int count = order->GetCount();
    int r = 0;
    for (ValNameListItem* item = order->GetFirst(); item;
         item = item->next, ++r) {
      VCardEntry* field = data->GetNthEntry(atoi(item->name));
      CharPtr name(GetEntryDisplayName(field));
      table->addObject(new B(name.get()));
      if (!arrow) {
        const char* heading =
            request->FindVar(("newentry_val_" + std::string(item->value)).c_str());
        if (heading == nullptr) heading = "";
        if (!KvListValueStorable(heading)) {
          request->ReplaceVal("sub_program", "");
          return GenLabelChangeForm("A heading may not end in \"=0A=\".");
        }
        table->addObject(new I(heading));
        newTemplate->AddEntry(NewTemplateEntry(field, heading));
      } else {
        VCardEntry* stored =
            templateCard ? templateCard->GetEntry(field) : nullptr;
        table->addObject(new I(stored && stored->value ? stored->value : ""));
      }
      AddArrowCells(table, r, r >= 1 && r < count - 1, r > 1);
      form->addObject(new KvHiddenInput(RowName("ord_", r).c_str(), item->name));
    }
    // The chosen fields and headings are kept before the order is confirmed.
    if (!arrow) WriteTemplateCard(newTemplate.get());

    form->addObject(new KvHiddenInput("numFldsDisplayd", count));
    Url* cancel = new Url(application->GetProgramFile());
    cancel->addAttribute("program", GetTopLevelProgramName());
    AddOrderButtons(page.get(), form, cancel);
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e,
                "Exception rethrown in VelmoraAdminLabel::GenLabelOrderChangeForm");
    throw;
  }
}

Page* VelmoraAdminLabel::ProcessSaveForm() {
  try {
    KvChangeLock change;  // held from the read to the write
    std::unique_ptr<VCard> templateCard(GetTemplateCard());
    std::unique_ptr<VCard> data(GetDataCard());
    if (!data) KV_THROW("Unable to find the vcard for the webmaster");
    int fields = data->GetNumEntries();
    int rows = std::min(IntVar("numFldsDisplayd", 0), fields);
    int max = MaxAllowedToCheck();
    std::unique_ptr<VCard> card(new VCard());
    std::set<int> taken;
    // The order comes from the browser: the same checks as when the fields
    // were chosen (displayable, each once, no more than allowed).
    for (int row = 0; row < rows; ++row) {
      int p = IntVar(RowName("ord_", row).c_str(), -1);
      if (p < 0 || p >= fields || !taken.insert(p).second) continue;
      VCardEntry* field = data->GetNthEntry(p);
      if (!field->IsDisplayable() || card->GetEntry(field) != nullptr) continue;
      if (max != -1 && card->GetNumEntries() >= max) {
        request->ReplaceVal("sub_program", "");
        return GenLabelChangeForm(
            ("You are allowed to select only " + std::to_string(max) + " items.").c_str());
      }
      VCardEntry* stored = templateCard ? templateCard->GetEntry(field) : nullptr;
      if (stored) {
        card->AddEntry(NewTemplateEntry(field, stored->value));
      } else {
        // The template changed since the order page was drawn: the field
        // keeps its own name as heading rather than being dropped.
        CharPtr name(GetEntryDisplayName(field));
        card->AddEntry(NewTemplateEntry(field, name.get()));
      }
    }
    WriteTemplateCard(card.get());
    return GenReadOnlyLabelsPage();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::ProcessSaveForm");
    throw;
  }
}

Page* VelmoraAdminLabel::GenReadOnlyLabelsPage() {
  try {
    std::unique_ptr<VCard> templateCard(GetTemplateCard());
    std::unique_ptr<KvPage> page(NewLabelPage(nullptr));
    page->AppendToBody(new Br());
    page->AppendToBody(new Br());
    page->AppendToBody(GetHeadText());
    page->AppendToBody(new Br());
    page->AppendToBody(new Br());
    KvTable* table = new KvTable(2, 0, 0);
    page->AppendToBody(table);
    table->addObject(new I("Field"));
    table->addObject(new I("Displayed As"));
    for (VCardEntry* entry = templateCard ? templateCard->firstEntry : nullptr;
         entry; entry = entry->next) {
      CharPtr name(GetEntryDisplayName(entry));
      table->addObject(new B(name.get()));
      table->addObject(new B(entry->value ? entry->value : ""));
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminLabel::GenReadOnlyLabelsPage");
    throw;
  }
}
