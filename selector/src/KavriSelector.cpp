// The person selector's pages.
#include "KavriSelector.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

const char kSelectorPersonCookie[] = "PersonSelectorCookie";
const char kSelectorGroupCookie[] = "GroupSelectorCookie";

namespace {

const char kFormName[] = "selectorform";
const char kReturnPrefix[] = "../../admin/bin/";

using CharPtr = std::unique_ptr<char, decltype(&free)>;

// The values of a multi-valued variable that can go into a cookie.
void AddValues(const RequestInfo* req, const char* name, ValList* to) {
  std::unique_ptr<ValList> values(req->GetValList(name));
  if (!values) return;
  for (ValListItem* item = values->GetFirst(); item; item = item->next) {
    if (KavriSelector::IsCookieValue(item->value)) to->AppendWithDupCheck(item->value);
  }
}

void RemoveValues(const RequestInfo* req, const char* name, ValList* from) {
  std::unique_ptr<ValList> values(req->GetValList(name));
  if (!values) return;
  for (ValListItem* item = values->GetFirst(); item; item = item->next) {
    if (item->value) from->Remove(item->value);
  }
}

bool Is(const char* value, const char* wanted) {
  return value != nullptr && strcasecmp(value, wanted) == 0;
}

HTMLObject* Submit(const char* label) { return new KvSubmitButton("action", label); }

HTMLObject* Cell(HTMLObject* child) { return new TableData(child); }
HTMLObject* Cell(const char* text) { return new TableData(text ? text : ""); }

}  // namespace

KavriSelector::KavriSelector(RequestInfo* req, KavriSelectorApp* app)
    : KavriAdminCommon(req, app) {}

KavriSelector::~KavriSelector() = default;

bool KavriSelector::IsReturnLink(const char* link) {
  if (link == nullptr || strncmp(link, kReturnPrefix, strlen(kReturnPrefix)) != 0) {
    return false;
  }
  if (strstr(link + strlen(kReturnPrefix), "..") != nullptr) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(link); *p; ++p) {
    if (*p <= ' ' || *p >= 0x7f || strchr("\"'<>\\`", *p) != nullptr) return false;
  }
  return true;
}

bool KavriSelector::IsCookieValue(const char* value) {
  if (value == nullptr || *value == '\0') return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p) {
    if (*p <= ' ' || *p == 0x7f || strchr(":;,=\"\\", *p) != nullptr) return false;
  }
  return true;
}

bool KavriSelector::Single() const { return Is(request->FindVar("selector_mode"), "single"); }

Page* KavriSelector::HandleEvent(const char* program) {
  try {
    const char* which = program ? program : "front";
    if (Is(which, "front") || Is(which, "selector")) {
      if (Is(request->FindVar("action"), "OK")) return GenDonePage();
      return GenSelectorPage();
    }
    return KavriAdminCommon::HandleEvent(program);
  } catch (KvError* e) {
    if (e->GetKind() == kKvErrorUnreachable) {
      std::unique_ptr<KvError> owned(e);
      return GenDBSetupErrorPage("Could not connect to database.", e->GetUserLines());
    }
    KV_ADD_LINE(e, "Exception rethrown in KavriSelector::HandleEvent");
    throw;
  }
}

void KavriSelector::ReadChoice(ValList* people, ValList* groups) const {
  if (Is(request->FindVar("program"), "selector")) {
    AddValues(request, "chosen", people);
    AddValues(request, "chosenGroup", groups);
  } else {
    std::unique_ptr<ValList> fromCookie(request->FindFormattedCookie(kSelectorPersonCookie));
    for (ValListItem* item = fromCookie ? fromCookie->GetFirst() : nullptr; item;
         item = item->next) {
      if (IsCookieValue(item->value)) people->AppendWithDupCheck(item->value);
    }
    fromCookie.reset(request->FindFormattedCookie(kSelectorGroupCookie));
    for (ValListItem* item = fromCookie ? fromCookie->GetFirst() : nullptr; item;
         item = item->next) {
      if (IsCookieValue(item->value)) groups->AppendWithDupCheck(item->value);
    }
  }
  const char* action = request->FindVar("action");
  if (Is(action, "Add")) {
    if (Single()) {
      ValList picked;
      AddValues(request, "pick", &picked);
      if (picked.GetCount() > 0) {
        while (people->GetFirst()) people->Remove(people->GetFirst()->value);
        people->Append(picked.GetFirst()->value);
      }
    } else {
      AddValues(request, "pick", people);
      AddValues(request, "pickGroup", groups);
    }
  } else if (Is(action, "Remove")) {
    RemoveValues(request, "drop", people);
    RemoveValues(request, "dropGroup", groups);
  }
  if (Single()) {
    while (groups->GetFirst()) groups->Remove(groups->GetFirst()->value);
  }
}

void KavriSelector::AddState(HTMLObject* form, ValList* people, ValList* groups) const {
  form->addObject(new KvHiddenInput("program", "selector"));
  form->addObject(new KvHiddenInput("selector_mode", Single() ? "single" : "multi"));
  const char* back = request->FindVar("return_url");
  if (IsReturnLink(back)) form->addObject(new KvHiddenInput("return_url", back));
  for (ValListItem* item = people->GetFirst(); item; item = item->next) {
    form->addObject(new KvHiddenInput("chosen", item->value));
  }
  for (ValListItem* item = groups->GetFirst(); item; item = item->next) {
    form->addObject(new KvHiddenInput("chosenGroup", item->value));
  }
}

Page* KavriSelector::GenSelectorPage() {
  try {
    ValList people, groups;
    ReadChoice(&people, &groups);
    UserDB* users = application->GetUserDB();
    bool single = Single();

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->GetHead()->addObject(new Title(single ? "Select a Person" : "Select People"));
    page->AddJSSelectorQuit();
    page->AddFormFocusTo(kFormName, "q");
    page->AppendToBody(new H2(single ? "Select a person" : "Select people and groups"));
    KvForm* form = new KvForm(kFormName, application->GetProgramFile());
    page->AppendToBody(form);
    AddState(form, &people, &groups);

    // The search comes first, so that the return key in the text field runs
    // it.
    const char* query = request->FindVar("q");
    form->addObject("Name, uid or e-mail address begins with ", 0);
    form->addObject(new KvTextInput("q", query ? query : "", 30));
    form->addObject(Submit("Search"));
    form->addObject(new Br());

    // The last search stays in view while people are added and removed.
    bool searched = query != nullptr;
    if (searched) {
      std::unique_ptr<ValNameList> found(users->SearchPeople(query, kMaxResults));
      if (!found) {
        form->addObject(new P("This directory cannot be searched."));
      } else if (found->GetCount() == 0) {
        form->addObject(new P("Nobody matches."));
      } else {
        Table* table = new Table();
        table->addAttribute(kAttrBorder, 0);
        TableRow* heading = new TableRow();
        for (const char* text : {"", "Name", "Uid", "E-mail"}) {
          heading->addObject(new TableHeading(text));
        }
        table->addObject(heading);
        int shown = 0;
        for (ValNameListItem* item = found->GetFirst(); item && shown < kMaxResults;
             item = item->next, ++shown) {
          TableRow* row = new TableRow();
          KvInput* box = single ? static_cast<KvInput*>(new KvRadioButton("pick", item->name))
                                : static_cast<KvInput*>(new KvCheckBox("pick", item->name));
          row->addObject(Cell(box));
          row->addObject(Cell(new B(item->value)));
          row->addObject(Cell(item->name));
          row->addObject(Cell(item->extra1));
          table->addObject(row);
        }
        form->addObject(table);
        if (found->GetCount() > kMaxResults) {
          form->addObject(new P("More people match than are shown; type more of the name."));
        }
      }
    }

    if (!single) {
      std::unique_ptr<ValNameList> all(application->GetGroupDB()->GetGroups());
      if (all && all->GetCount() > 0) {
        form->addObject(new H3("Groups"));
        Table* table = new Table();
        for (ValNameListItem* item = all->GetFirst(); item; item = item->next) {
          if (!IsCookieValue(item->name)) continue;
          TableRow* row = new TableRow();
          row->addObject(Cell(new KvCheckBox("pickGroup", item->name)));
          row->addObject(Cell(item->value));
          table->addObject(row);
        }
        form->addObject(table);
      }
    }
    form->addObject(Submit("Add"));
    form->addObject(new Hr());

    form->addObject(new H3(single ? "Chosen person" : "Chosen"));
    if (people.GetCount() == 0 && groups.GetCount() == 0) {
      form->addObject(new P("Nobody is chosen yet."));
    } else {
      Table* table = new Table();
      for (ValListItem* item = people.GetFirst(); item; item = item->next) {
        CharPtr name(users->GetDisplayName(item->value), &free);
        TableRow* row = new TableRow();
        row->addObject(Cell(new KvCheckBox("drop", item->value)));
        row->addObject(Cell(name ? name.get() : item->value));
        row->addObject(Cell(item->value));
        table->addObject(row);
      }
      GroupDB* groupDB = groups.GetCount() > 0 ? application->GetGroupDB() : nullptr;
      for (ValListItem* item = groups.GetFirst(); item; item = item->next) {
        CharPtr name(groupDB->GetGroupName(item->value), &free);
        TableRow* row = new TableRow();
        row->addObject(Cell(new KvCheckBox("dropGroup", item->value)));
        row->addObject(Cell(name ? name.get() : item->value));
        row->addObject(Cell("(group)"));
        table->addObject(row);
      }
      form->addObject(table);
      form->addObject(Submit("Remove"));
    }
    form->addObject(new Hr());
    form->addObject(Submit("OK"));
    KvInput* cancel = new KvInput("cancel", "Cancel", "button");
    cancel->addAttribute(kAttrOnClick, "SelectorQuit()");
    form->addObject(cancel);
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in KavriSelector::GenSelectorPage");
    throw;
  }
}

Page* KavriSelector::GenDonePage() {
  try {
    ValList people, groups;
    ReadChoice(&people, &groups);
    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->GetHead()->addObject(new Title("Selection made"));
    page->AddToList(new FormattedCookie(kSelectorPersonCookie, &people, 0));
    page->AddToList(new FormattedCookie(kSelectorGroupCookie, &groups, 0));
    page->AddJSFunction(kKvSelectorJS, "SelectorReturn");
    page->OnLoad("SelectorReturn()");
    KvForm* form = new KvForm("selectorDone", application->GetProgramFile());
    page->AppendToBody(form);
    const char* back = request->FindVar("return_url");
    if (IsReturnLink(back)) {
      std::string link = back;
      link += strchr(back, '?') ? "&" : "?";
      link += "selector=1";
      form->addObject(new KvHiddenInput("back", link.c_str()));
    }
    form->addObject(new P("The choice is made; this window may be closed."));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in KavriSelector::GenDonePage");
    throw;
  }
}
