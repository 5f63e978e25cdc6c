// The access-control pages: the feature's frames, the rule of one attribute
// or operation, the forms that choose who may modify it and who approves or
// is told, and the handlers that store those lists in the user directory.
// People are chosen through the suite's person selector, which comes back to
// the form with the chosen uids in the cookie "PersonSelectorCookie".
#include <strings.h>

#include <functional>
#include <memory>
#include <string>

#include "VelmoraAdminAccessControl.h"

const char labelUsers[] = "Users(for themselves)";
const char labelDirAdmin[] = "Directory admin(s)";
const char labelOthers[] = "Others";

namespace {

const char kScriptFile[] = "velmoraadmin.js";
const char kSelectorProgram[] = "../../selector/bin/selector.cgi";
const char kReturnProgram[] = "../../admin/bin/velmoraadmin.cgi";
const char kPersonSelectorCookie[] = "PersonSelectorCookie";
const char kDefaultAttr[] = "defaultAttr";
const char kEnvelopeIcon[] = "menvelopeicon";

const char kTokenAny[] = "any";
const char kTokenDefault[] = "default";
const char kTokenSelf[] = "self";
const char kTokenDirAdmin[] = "dirAdmin";

const char kModifyAttributeText[] =
    "Add/Delete list of people who can modify this attribute";
const char kModifyOperationText[] =
    "Add/Delete list of people who can modify this operation";
const char kWriteFailed[] = "Failed while writing to the database.";

// An access list taken apart: its tokens, and the uids in their order
// without repeats or empty items.
struct AccessList {
  bool any = false;
  bool followsDefault = false;
  bool self = false;
  bool dirAdmin = false;
  std::unique_ptr<ValList> uids{new ValList};

  // Nobody who could approve a change or be told of one.
  bool NoOneToMail() const { return !dirAdmin && uids->GetCount() == 0; }
  bool Nobody() const { return !self && NoOneToMail(); }
};

bool Same(const char* a, const char* b) {
  return a != nullptr && b != nullptr && strcasecmp(a, b) == 0;
}

bool IsToken(const char* value) {
  return Same(value, kTokenAny) || Same(value, kTokenDefault) ||
         Same(value, kTokenSelf) || Same(value, kTokenDirAdmin);
}

// Takes list (which may be null) apart and deletes it.
AccessList Split(ValList* list) {
  std::unique_ptr<ValList> owned(list);
  AccessList out;
  for (ValListItem* item = list ? list->GetFirst() : nullptr; item;
       item = item->next) {
    const char* value = item->value;
    if (value == nullptr || *value == '\0') continue;
    if (Same(value, kTokenAny)) {
      out.any = true;
    } else if (Same(value, kTokenDefault)) {
      out.followsDefault = true;
    } else if (Same(value, kTokenSelf)) {
      out.self = true;
    } else if (Same(value, kTokenDirAdmin)) {
      out.dirAdmin = true;
    } else {
      out.uids->AppendWithDupCheck(value);
    }
  }
  return out;
}

// The uids a form sent under name, in order: empty values and the tokens
// (which only the form's own boxes and radios may add) are left out.
ValList* SentUids(RequestInfo* request, const char* name) {
  std::unique_ptr<ValList> sent(request->GetValList(name));
  std::unique_ptr<ValList> uids(new ValList);
  for (ValListItem* item = sent->GetFirst(); item; item = item->next) {
    if (item->value == nullptr || *item->value == '\0' || IsToken(item->value))
      continue;
    uids->AppendWithDupCheck(item->value);
  }
  return uids.release();
}

bool Contains(ValList* list, const char* value) {
  return list != nullptr && list->Lookup(value) != nullptr;
}

// Plain text that never turns into a link.
HTMLObject* Text(const char* text) {
  HTMLObject* object = new HTMLObject();
  object->addObject(text, 0);
  return object;
}

HTMLObject* Bold(const char* text) {
  B* bold = new B();
  bold->addObject(text, 0);
  return bold;
}

HTMLObject* Italic(HTMLObject* child) { return new I(child); }

HTMLObject* ItalicBold(const char* text) { return Italic(Bold(text)); }

// "velmoraadmin.cgi?program=<program>&<name>=<value>" (name may be null).
Url* PageUrl(const char* programFile, const char* program, const char* name,
             const char* value) {
  Url* url = new Url(programFile);
  url->addAttribute("program", program);
  if (name) url->addAttribute(name, value ? value : "");
  return url;
}

// The link the person selector loads when it is done: this program with
// program and (name, value), encoded once as its own parameters and once
// more as a whole, so that it travels as one value inside the selector's
// URL, and safe inside a quoted script string.
String SelectorReturnLink(const char* program, const char* name,
                          const char* value) {
  String encodedValue(value);
  encodedValue.PrepForURL();
  String link = String(kReturnProgram) + "?program=" + program + "&" + name +
                "=" + encodedValue;
  link.PrepForURL();
  link.PrepForJS();
  return link;
}

// A person table: a blank bold heading and the people, sorted by display
// name, three to a row; cell makes the object shown for one person.
HTMLObject* PeopleTable(
    ValList* uids, UserDB* db,
    const std::function<HTMLObject*(const char* uid, const char* name)>& cell) {
  std::unique_ptr<ValNameList> people;
  if (uids->GetCount() > 0) people.reset(db->SortByValue(uids));
  if (!people) people.reset(new ValNameList);
  std::unique_ptr<KvTable> inner(new KvTable(3, 1, 4));
  inner->SetWrap(0);
  int count = 0;
  for (ValNameListItem* p = people->GetFirst(); p; p = p->next) {
    if (p->name == nullptr) continue;
    inner->addObject(cell(p->name, p->value ? p->value : p->name));
    ++count;
  }
  std::unique_ptr<KvPersonGroupTable> table(new KvPersonGroupTable);
  if (count < 4) {
    table->AddHH(new B(""), inner.release());
  } else {
    table->AddHTopH(new B(""), inner.release());
  }
  return table.release();
}

// One person of a rule: the link to the person's page, and the envelope when
// the person approves or is told.
HTMLObject* PeopleWithEnvelopes(ValList* uids, ValList* mailed, UserDB* db) {
  return PeopleTable(uids, db, [mailed](const char* uid, const char* name) {
    HTMLObject* shown = new HTMLObject();
    shown->addObject(new KvPersonLink(name, uid));
    if (Contains(mailed, uid)) shown->addObject(new KvImage(kEnvelopeIcon));
    return shown;
  });
}

// Check boxes named name for the people, checked for those in chosen.
HTMLObject* PeopleToChoose(const char* name, ValList* uids, ValList* chosen,
                           UserDB* db) {
  return PeopleTable(uids, db, [name, chosen](const char* uid, const char* shown) {
    KvCheckBox* box = new KvCheckBox(name, uid, nullptr);
    if (Contains(chosen, uid)) box->MarkChecked();
    box->addObject(new KvCenterAlignedPersonLink(shown));
    return box;
  });
}

// The directory administrators' line of a rule, with the envelope when they
// approve or are told.
HTMLObject* DirAdminItem(bool mailed) {
  Li* item = new Li();
  item->addObject(labelDirAdmin, 0);
  if (mailed) item->addObject(new KvImage(kEnvelopeIcon));
  return item;
}

// The check box that says whether the directory administrators approve or
// are told.
HTMLObject* DirAdminChoice(bool checked) {
  KvCheckBox* box = new KvCheckBox("adminCheckbox", kTokenDirAdmin, labelDirAdmin);
  if (checked) box->MarkChecked();
  return box;
}

// The operation of "operId": "add", or "delete" for any other value.
bool IsAdd(const char* operId) { return Same(operId, "add"); }
const char* OperationId(const char* operId) {
  return IsAdd(operId) ? "add" : "delete";
}
const char* OperationWord(const char* operId) {
  return IsAdd(operId) ? "create" : "delete";
}
const char* OperationHeading(const char* operId) {
  return IsAdd(operId) ? "hcreateentry" : "hdeleteentry";
}

// The items of list for the audit trail ("(nobody)" when empty).
std::string ListText(ValList* list) {
  std::string text;
  for (ValListItem* item = list ? list->GetFirst() : nullptr; item; item = item->next) {
    if (!text.empty()) text += ", ";
    text += item->value ? item->value : "";
  }
  return text.empty() ? "(nobody)" : text;
}

void AddBreaks(HTMLObject* parent, int count) {
  for (int i = 0; i < count; ++i) parent->addObject(new Br());
}

// The uids a form sent under name, with the directory administrators' token
// when their box was checked.
ValList* SentPeople(RequestInfo* request, const char* name) {
  std::unique_ptr<ValList> people(SentUids(request, name));
  if (request->FindVar("adminCheckbox")) people->Append(kTokenDirAdmin);
  return people.release();
}

// The button that opens the person selector through the page's script
// function, which comes back to (program, name, value).
HTMLObject* SelectorButton(const char* function, const char* program,
                           const char* name, const char* value) {
  String call = String("javascript:") + function + "('" + kSelectorProgram + "','" +
                SelectorReturnLink(program, name, value) + "')";
  return new KvImageButton(call.CStr(), "bselectpeople", kModifyAttributeText);
}

// Runs store, which says whether the directory stored an operation's list; a
// refusal or a failure is thrown with the write failure added.
void StoreOperList(const std::function<bool()>& store) {
  try {
    KvChangeLock change;
    if (!store()) KV_THROW("The directory did not store the list");
  } catch (KvError* e) {
    KV_ADD_LINE(e, kWriteFailed);
    throw;
  }
}

// The line and the save button that end a form.
void AddSave(HTMLObject* form) {
  form->addObject(new Hr());
  form->addObject(new KvImageButton(new SubmitFormUrl(), "bsave", "Save"));
}

// The choices of who approves or is told, among those a rule lets modify:
// the directory administrators' box and the people's boxes named name,
// checked for those in chosen; then the save button.
void AddMailChoices(HTMLObject* form, const AccessList& rule, ValList* chosen,
                    const char* name, UserDB* db) {
  if (rule.dirAdmin) {
    form->addObject(DirAdminChoice(Contains(chosen, kTokenDirAdmin)));
    form->addObject(new Br());
  }
  if (rule.uids->GetCount() > 0)
    form->addObject(PeopleToChoose(name, rule.uids.get(), chosen, db));
  AddSave(form);
}

}  // namespace

// Frames --------------------------------------------------------------------

Page* VelmoraAdminAccessControl::GenAccessControlFrameSet() {
  try {
    const char* program = application->GetProgramFile();
    std::unique_ptr<KvFrameSetPage> page(new KvFrameSetPage(kAttrRows, "35%,*"));
    page->AddNewFrame(PageUrl(program, "progTabsFrame", nullptr, nullptr),
                      "tabsFrame", true);
    page->AddNewFrame(PageUrl(program, "progAccessControlMain", nullptr, nullptr),
                      "accessControlMainFrame", true);
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAccessControl::GenAccessControlFrameSet()");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenAccessControlTabsFrame() {
  struct Tab {
    const char* image;
    const char* text;
    const char* program;
    const char* operId;
  };
  static const Tab kTabs[] = {
      {"bcreateentry", "Add/Delete list of people who can add data entries",
       "progOperMainFrame", "add"},
      {"bdeleteentry", "Add/Delete list of people who can delete data entries",
       "progOperMainFrame", "delete"},
      {"bmodifyattributes", "Add/Delete list of people who can modify data entries",
       "attribDisplay", nullptr},
  };
  try {
    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AppendToBody(new KvImage("haccesscontrol"));
    AddBreaks(page->GetBody(), 2);
    page->AppendToBody(Text(application->GetMessage("AccessControlMsg1")));
    AddBreaks(page->GetBody(), 2);
    for (const Tab& tab : kTabs) {
      KvImageButton* button = new KvImageButton(
          PageUrl(application->GetProgramFile(), tab.program,
                  tab.operId ? "operId" : nullptr, tab.operId),
          tab.image, tab.text);
      button->SetTarget("accessControlMainFrame");
      page->AppendToBody(button);
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAccessControl::GenAccessControlTabsFrame()");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenMainPage() {
  return new KvPage(style->GetMainPageStyle());
}

Page* VelmoraAdminAccessControl::GenShowAttributeFrameSet() {
  try {
    const char* program = application->GetProgramFile();
    std::unique_ptr<KvFrameSetPage> page(new KvFrameSetPage(kAttrRows, "75,*"));
    page->AddNewFrameNoSpace(PageUrl(program, "showAttribList", nullptr, nullptr),
                             "attribListFrame", true);
    page->AddNewFrame(PageUrl(program, "attribMain", nullptr, nullptr),
                      "attribMainFrame", true);
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAccessControl::GenShowAttributeFrameSet()");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenAttribListFrame() {
  try {
    std::unique_ptr<ValList> attributes(application->GetUserDB()->GetAttributeList());
    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSFunction(kScriptFile, "updateAttrFrame");
    page->AddJSDoNothing();
    KvForm* form = new KvForm("createform", new DoNothingUrl());
    page->AppendToBody(form);
    form->addObject(new KvImage("hmodifyattributes"));
    form->addObject(new Br());

    KvSelect* select = new KvSelect("adminAttribute");
    String onChange = String("updateAttrFrame('") + application->GetProgramFile() +
                      "?program=attribMainFrame');";
    select->addAttribute(kAttrOnChange, onChange.CStr());
    select->AddOption("Select an attribute", "dummy");
    select->AddOption("Set Default Access Control", kDefaultAttr);
    for (ValListItem* item = attributes ? attributes->GetFirst() : nullptr; item;
         item = item->next) {
      if (item->value == nullptr || *item->value == '\0') continue;
      select->AddOption(item->value, item->value);
    }
    form->addObject(select);
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAccessControl::GenAttribListFrame()");
    throw;
  }
}

// Attributes ----------------------------------------------------------------

namespace {

// The attribute the request names; an attribute must be named.
const char* RequiredAttribute(RequestInfo* request) {
  const char* attribId = request->FindVar("attribId");
  if (attribId == nullptr || *attribId == '\0') KV_THROW("No attribute was chosen");
  return attribId;
}

}  // namespace

Page* VelmoraAdminAccessControl::GenAttribMainFrame() {
  try {
    const char* attribId = RequiredAttribute(request);
    bool isDefault = Same(attribId, kDefaultAttr);
    UserDB* db = application->GetUserDB();
    KvConfigDB* config = application->GetConfigDB();
    AccessList rule = Split(db->GetAttribModifiers(config, attribId));

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    if (rule.any) {
      String text = isDefault
          ? String("By default, anyone can modify any attribute for anyone(no access check)")
          : String("Anyone can modify attribute ") + attribId +
                " for anyone(no access check)";
      page->AppendToBody(Italic(Text(text.CStr())));
    } else if (rule.followsDefault) {
      page->AppendToBody(Italic(Text(
          (String("Default access control set for attribute ") + attribId).CStr())));
    } else if (rule.Nobody()) {
      String text = isDefault
          ? String("By default, no one is allowed to modify any attribute")
          : String("No one is allowed to modify attribute ") + attribId;
      page->AppendToBody(Italic(Text(text.CStr())));
    } else {
      std::unique_ptr<ValList> approvers(db->GetAttribApprovers(config, attribId));
      if (isDefault) {
        page->AppendToBody(Bold("By default, the following people can modify "));
        page->AppendToBody(ItalicBold("all"));
        page->AppendToBody(Bold(" the attributes."));
      } else {
        page->AppendToBody(Bold("The following people can modify attribute "));
        page->AppendToBody(ItalicBold(attribId));
      }
      page->AppendToBody(new Br());
      Ul* list = new Ul();
      page->AppendToBody(list);
      if (rule.self) list->addObject(new Li(Text(labelUsers)));
      if (rule.dirAdmin)
        list->addObject(DirAdminItem(Contains(approvers.get(), kTokenDirAdmin)));
      if (rule.uids->GetCount() > 0) {
        Li* others = new Li();
        list->addObject(others);
        others->addObject(labelOthers, 0);
        others->addObject(PeopleWithEnvelopes(rule.uids.get(), approvers.get(), db));
      }
    }
    page->AppendToBody(new Hr());
    page->AppendToBody(new KvImageButton(
        PageUrl(application->GetProgramFile(), "attribModifyPeople", "attribId",
                attribId),
        "bmodify", kModifyAttributeText));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "VelmoraAdminAccessControl::GenAttribMainFrame() failed!");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenAttribModifyFrame() {
  try {
    const char* attribId = RequiredAttribute(request);
    bool isDefault = Same(attribId, kDefaultAttr);
    bool fromSelector = request->FindVar("selector") != nullptr;
    UserDB* db = application->GetUserDB();
    KvConfigDB* config = application->GetConfigDB();
    const char* programFile = application->GetProgramFile();

    AccessList edited = Split(fromSelector
                                  ? request->FindFormattedCookie(kPersonSelectorCookie)
                                  : db->GetAttribModifiers(config, attribId));

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSCloseChild();
    page->AddJSSubmitForm();
    page->AddJSFunction(kScriptFile, "AdminSelector");
    page->AddJSFunction(kScriptFile, "validate");
    page->AddToList(new FormattedCookie(kPersonSelectorCookie, edited.uids.get(), 0));

    KvForm* form = new KvForm(
        "createform", PageUrl(programFile, "saveAttributeModifier", "attribId", attribId));
    page->AppendToBody(form);
    if (isDefault) {
      form->addObject(Bold("Select the list of people who can, "));
      form->addObject(ItalicBold("by default, "));
      form->addObject(Bold("modify "));
      form->addObject(ItalicBold("all "));
      form->addObject(Bold("the attributes"));
    } else {
      form->addObject(Bold("Select the list of people who can modify attribute "));
      form->addObject(ItalicBold(attribId));
    }
    AddBreaks(form, 2);

    // The radio that starts checked: the one the form had when coming back
    // from the selector, else the stored rule's.
    const char* sent = request->FindVar("accessControl");
    const char* checked = nullptr;
    if (fromSelector && (Same(sent, "NO") || Same(sent, "YES") ||
                         (!isDefault && Same(sent, "DEFAULT")))) {
      checked = sent;
    } else if (fromSelector) {
      checked = "YES";
    } else {
      checked = edited.any ? "NO" : edited.followsDefault && !isDefault ? "DEFAULT" : "YES";
    }
    auto radio = [&](const char* value, const char* text) {
      KvRadioButton* button = new KvRadioButton("accessControl", value, text);
      button->addAttribute(kAttrOnClick, "validate('accessControl')");
      if (Same(value, checked)) button->MarkChecked();
      form->addObject(button);
      form->addObject(new Br());
    };
    radio("NO", " Disable access check");
    if (!isDefault) {
      radio("DEFAULT", " Enable default access check(shown below)");
      AccessList fallback = Split(db->GetAttribModifiers(config, kDefaultAttr));
      BlockQuote* summary = new BlockQuote();
      form->addObject(summary);
      if (fallback.any) {
        summary->addObject(Text("Anyone can modify any attribute for anyone(no access check)"));
      } else if (fallback.Nobody()) {
        summary->addObject(Text("No one is allowed to modify any attribute."));
      } else {
        if (fallback.self) {
          summary->addObject(Text(labelUsers));
          summary->addObject(new Br());
        }
        if (fallback.dirAdmin) {
          summary->addObject(Text(labelDirAdmin));
          summary->addObject(new Br());
        }
        if (fallback.uids->GetCount() > 0) {
          KvPersonGroupTable* people = new KvPersonGroupTable();
          summary->addObject(people);
          people->AddPeople(fallback.uids.get(), static_cast<const char*>(nullptr), db, 1);
        }
      }
    }
    radio("YES", " Enable access check");
    form->addObject(new KvHiddenInput("numRadios", isDefault ? 2 : 3));

    // Who, when the check is on.
    bool self = fromSelector ? request->FindVar("empCheckbox") != nullptr : edited.self;
    bool dirAdmin =
        fromSelector ? request->FindVar("adminCheckbox") != nullptr : edited.dirAdmin;
    KvCheckBox* selfBox =
        new KvCheckBox("empCheckbox", kTokenSelf, (String(" ") + labelUsers).CStr());
    selfBox->addAttribute(kAttrOnClick, "validate('empCheckbox')");
    if (self) selfBox->MarkChecked();
    form->addObject(new KvIndentObject(selfBox, 6));
    form->addObject(new Br());
    KvCheckBox* adminBox = new KvCheckBox("adminCheckbox", kTokenDirAdmin, labelDirAdmin);
    adminBox->addAttribute(kAttrOnClick, "validate('adminCheckbox')");
    if (dirAdmin) adminBox->MarkChecked();
    form->addObject(new KvIndentObject(adminBox, 12));
    AddBreaks(form, 2);

    form->addObject(
        SelectorButton("AdminSelector", "attribModifyPeople", "attribId", attribId));
    KvPersonGroupTable* people = new KvPersonGroupTable();
    form->addObject(people);
    people->AddCheckedPeople("attrib_uid_val", edited.uids.get(),
                             static_cast<HTMLObject*>(nullptr), db, "validate('people');");
    form->addObject(new KvHiddenInput("noOfPeople", edited.uids->GetCount()));

    AddSave(form);
    form->addObject(new KvImageButton(
        PageUrl(programFile, "attribMainFrame", "attribId", attribId), "bcancel",
        "Cancel"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "VelmoraAdminAccessControl::GenAttribModifyFrame() failed!");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenAttribSavePeople() {
  try {
    const char* attribId = RequiredAttribute(request);
    const char* mode = request->FindVar("accessControl");
    std::unique_ptr<ValList> modifiers;
    if (Same(mode, "NO")) {
      modifiers.reset(new ValList);
      modifiers->Append(kTokenAny);
    } else if (Same(mode, "DEFAULT") && !Same(attribId, kDefaultAttr)) {
      // The default rule cannot follow itself: for it "DEFAULT" counts as
      // a list of people.
      modifiers.reset(new ValList);
      modifiers->Append(kTokenDefault);
    } else {
      modifiers.reset(SentUids(request, "attrib_uid_val"));
      if (request->FindVar("empCheckbox")) modifiers->Append(kTokenSelf);
      if (request->FindVar("adminCheckbox")) modifiers->Append(kTokenDirAdmin);
    }
    KvChangeLock change;
    if (!application->GetUserDB()->SetAttribModifiers(application->GetConfigDB(),
                                                      attribId, modifiers.get()))
      KV_THROW(kWriteFailed);
    Audit(("modifiers of attribute " + std::string(attribId) + " set to " +
           ListText(modifiers.get())).c_str());
    return GenAttribSelectEmailFrame();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "VelmoraAdminAccessControl::GenAttribSavePeople() failed!");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenAttribSelectEmailFrame() {
  try {
    const char* attribId = RequiredAttribute(request);
    bool isDefault = Same(attribId, kDefaultAttr);
    UserDB* db = application->GetUserDB();
    KvConfigDB* config = application->GetConfigDB();
    AccessList rule = Split(db->GetAttribModifiers(config, attribId));
    if (rule.any || rule.followsDefault || rule.NoOneToMail())
      return GenAttribMainFrame();
    std::unique_ptr<ValList> approvers(db->GetAttribApprovers(config, attribId));

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSSubmitForm();
    KvForm* form = new KvForm("createform", PageUrl(application->GetProgramFile(),
                                                    "processSelectEmail", "attribId",
                                                    attribId));
    page->AppendToBody(form);
    if (isDefault) {
      form->addObject(Bold("Select the person(s) who can, "));
      form->addObject(ItalicBold("by default, "));
      form->addObject(Bold("approve change request for "));
      form->addObject(ItalicBold("all "));
      form->addObject(Bold("the attributes"));
    } else {
      form->addObject(Bold("Select the person(s) who can approve change request for attribute "));
      form->addObject(ItalicBold(attribId));
    }
    form->addObject(new Br());
    AddMailChoices(form, rule, approvers.get(), "attrib_uid_val", db);
    form->addObject(new KvImageButton(PageUrl(application->GetProgramFile(),
                                              "attribModifyPeople", "attribId", attribId),
                                      "bcancel", "Cancel"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "VelmoraAdminAccessControl::GenAttribSelectEmailFrame() failed!");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenProcessSelectEmail() {
  try {
    const char* attribId = RequiredAttribute(request);
    std::unique_ptr<ValList> approvers(SentPeople(request, "attrib_uid_val"));
    KvChangeLock change;
    if (!application->GetUserDB()->SetAttribApprovers(application->GetConfigDB(),
                                                      attribId, approvers.get()))
      KV_THROW(kWriteFailed);
    Audit(("approvers of attribute " + std::string(attribId) + " set to " +
           ListText(approvers.get())).c_str());
    return GenAttribMainFrame();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "VelmoraAdminAccessControl::GenProcessSelectEmail() failed!");
    throw;
  }
}

// Operations ----------------------------------------------------------------

Page* VelmoraAdminAccessControl::GenOperationMainFrame() {
  try {
    const char* operId = OperationId(request->FindVar("operId"));
    const char* word = OperationWord(operId);
    UserDB* db = application->GetUserDB();
    AccessList rule = Split(db->GetOperModifiers(operId));

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AppendToBody(new KvImage(OperationHeading(operId)));
    page->AppendToBody(new Br());
    if (rule.NoOneToMail()) {
      page->AppendToBody(Italic(Text(
          (String("No one is allowed to ") + word + " entries").CStr())));
    } else {
      std::unique_ptr<ValList> notified(db->GetOperNotifyList(operId));
      page->AppendToBody(
          Bold((String("The following people can ") + word + " entries").CStr()));
      page->AppendToBody(new Br());
      Ul* list = new Ul();
      page->AppendToBody(list);
      if (rule.dirAdmin)
        list->addObject(DirAdminItem(Contains(notified.get(), kTokenDirAdmin)));
      if (rule.uids->GetCount() > 0)
        list->addObject(new Li(PeopleWithEnvelopes(rule.uids.get(), notified.get(), db)));
    }
    page->AppendToBody(new Hr());
    page->AppendToBody(new KvImageButton(
        PageUrl(application->GetProgramFile(), "modifyOperPeople", "operId", operId),
        "bmodify", kModifyOperationText));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Failed while generating operation main frame");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenOperationModifyFrame() {
  try {
    const char* operId = OperationId(request->FindVar("operId"));
    const char* programFile = application->GetProgramFile();
    bool fromSelector = request->FindVar("selector") != nullptr;
    UserDB* db = application->GetUserDB();
    AccessList edited = Split(fromSelector
                                  ? request->FindFormattedCookie(kPersonSelectorCookie)
                                  : db->GetOperModifiers(operId));

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSCloseChild();
    page->AddJSSubmitForm();
    page->AddJSFunction(kScriptFile, "AdminOperSelector");
    page->AddToList(new FormattedCookie(kPersonSelectorCookie, edited.uids.get(), 0));
    page->AppendToBody(new KvImage(OperationHeading(operId)));
    page->AppendToBody(new Br());
    page->AppendToBody(Bold(
        (String("Select the list of people who can ") + OperationWord(operId) + " entries")
            .CStr()));
    AddBreaks(page->GetBody(), 2);

    KvForm* form = new KvForm(
        "createform", PageUrl(programFile, "progSaveOperModifier", "operId", operId));
    page->AppendToBody(form);
    bool dirAdmin =
        fromSelector ? request->FindVar("adminCheckbox") != nullptr : edited.dirAdmin;
    form->addObject(DirAdminChoice(dirAdmin));
    AddBreaks(form, 2);
    form->addObject(
        SelectorButton("AdminOperSelector", "modifyOperPeople", "operId", operId));
    KvPersonGroupTable* people = new KvPersonGroupTable();
    form->addObject(people);
    people->AddCheckedPeople("oper_uid_val", edited.uids.get(),
                             static_cast<const char*>(nullptr), db);
    AddSave(form);
    form->addObject(new KvImageButton(
        PageUrl(programFile, "progOperMainFrame", "operId", operId), "bcancel", "Cancel"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Failed while Generating Modify Operation Main Frame");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenOperationSaveModifiers() {
  try {
    const char* operId = OperationId(request->FindVar("operId"));
    std::unique_ptr<ValList> modifiers(SentPeople(request, "oper_uid_val"));
    StoreOperList([&] {
      return application->GetUserDB()->SetOperModifiers(operId, modifiers.get());
    });
    Audit(("modifiers of operation " + std::string(operId) + " set to " +
           ListText(modifiers.get())).c_str());
    return GenOperationSelectEmailFrame();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAccessControl::GenOperationSaveModifiers()");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenOperationSelectEmailFrame() {
  try {
    const char* operId = OperationId(request->FindVar("operId"));
    UserDB* db = application->GetUserDB();
    AccessList rule = Split(db->GetOperModifiers(operId));
    if (rule.NoOneToMail()) return GenOperationMainFrame();
    std::unique_ptr<ValList> notified(db->GetOperNotifyList(operId));

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSSubmitForm();
    page->AppendToBody(new KvImage(OperationHeading(operId)));
    page->AppendToBody(new Br());
    page->AppendToBody(Bold((String("Select the list of people who should be notified by ") +
                             "email when a person is " + OperationWord(operId) + "d")
                                .CStr()));
    page->AppendToBody(new Br());
    KvForm* form = new KvForm("createform", PageUrl(application->GetProgramFile(),
                                                    "processOperationEmail", "operId",
                                                    operId));
    page->AppendToBody(form);
    AddMailChoices(form, rule, notified.get(), "oper_uid_val", db);
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAccessControl::GenOperationSelectEmailFrame()");
    throw;
  }
}

Page* VelmoraAdminAccessControl::GenOperationSaveEmail() {
  try {
    const char* operId = OperationId(request->FindVar("operId"));
    std::unique_ptr<ValList> notified(SentPeople(request, "oper_uid_val"));
    StoreOperList([&] {
      return application->GetUserDB()->SetOperNotifyList(operId, notified.get());
    });
    Audit(("notify list of operation " + std::string(operId) + " set to " +
           ListText(notified.get())).c_str());
    return GenOperationMainFrame();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminAccessControl::GenOperationSaveEmail()");
    throw;
  }
}
