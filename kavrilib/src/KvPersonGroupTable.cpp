// Rows of label and list: people, groups and documents, each list laid out
// as an inner table of three columns that do not wrap.
#include "KvPersonGroupTable.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <strings.h>

#include "KvDocumentLink.h"
#include "KvGroupLink.h"
#include "KvInput.h"
#include "KvPersonLink.h"
#include "dblib.h"

namespace {

// Items listed in a row before the label is aligned at the top.
const int kTopAlignFrom = 4;

KvTable* NewListTable() {
  KvTable* list = new KvTable(3, 1, 4);
  list->SetWrap(0);
  return list;
}

HTMLObject* TextLabel(const char* label) {
  return label ? new B(label) : nullptr;
}

// (id, display name) pairs sorted by name, from the user or the group
// directory; the ids themselves when there is no directory. Never null.
template <typename Directory>
std::unique_ptr<ValNameList> SortedByName(ValList* ids, Directory* db) {
  std::unique_ptr<ValNameList> sorted;
  if (ids && ids->GetCount() > 0 && db) sorted.reset(db->SortByValue(ids));
  if (!sorted) {
    sorted.reset(new ValNameList());
    if (ids && !db) {
      for (ValListItem* i = ids->GetFirst(); i; i = i->next) {
        sorted->Append(i->value, i->value);
      }
    }
  }
  return sorted;
}

const char* Shown(const ValNameListItem* item) {
  return item->value ? item->value : item->name;
}

}  // namespace

KvPersonGroupTable::KvPersonGroupTable() : KvTable(2, 1, 4) {}

KvPersonGroupTable::~KvPersonGroupTable() = default;

void KvPersonGroupTable::AddPair(HTMLObject* label, HTMLObject* list,
                                 int items) {
  if (items < kTopAlignFrom) {
    AddHH(label, list);
  } else {
    AddHTopH(label, list);
  }
}

void KvPersonGroupTable::AddCheckedDocuments(const char* name, ValList* docs,
                                             const char* label) {
  KvTable* list = NewListTable();
  int n = 0;
  for (ValListItem* i = docs ? docs->GetFirst() : nullptr; i; i = i->next, n++) {
    KvCheckBox* box = new KvCheckBox(name, i->value, nullptr);
    box->MarkChecked();
    box->addObject(new KvCenterAlignedDocumentLink(i->value));
    list->addObject(box);
  }
  AddPair(TextLabel(label), list, n);
}

void KvPersonGroupTable::AddDocumentsNoIcons(ValList* docs, const char* label) {
  KvTable* list = NewListTable();
  int n = 0;
  for (ValListItem* i = docs ? docs->GetFirst() : nullptr; i; i = i->next, n++) {
    list->addObject(new KvDocumentLink(i->value));
  }
  AddPair(TextLabel(label), list, n);
}

void KvPersonGroupTable::AddHyperlinkedDocuments(const char* param,
                                                 ValList* docs,
                                                 const char* label,
                                                 const char* base,
                                                 ValNameList* params) {
  KvTable* list = NewListTable();
  int n = 0;
  for (ValListItem* i = docs ? docs->GetFirst() : nullptr; i; i = i->next, n++) {
    if (!base) {
      list->addObject(new KvDocumentLink(i->value));
      continue;
    }
    Url* url = new Url(base);
    if (params) url->addAttribute(params);
    url->addAttribute(param, i->value);
    list->addObject(new KvDocumentLink(i->value, url, nullptr));
  }
  AddPair(TextLabel(label), list, n);
}

void KvPersonGroupTable::AddCheckedPeople(const char* name, ValList* uids,
                                          const char* label, UserDB* db) {
  AddCheckedPeople(name, uids, TextLabel(label), db, nullptr);
}

void KvPersonGroupTable::AddCheckedPeople(const char* name, ValList* uids,
                                          HTMLObject* label, UserDB* db,
                                          const char* onClick) {
  std::unique_ptr<ValNameList> people = SortedByName(uids, db);
  if (people->GetCount() == 0) {
    AddPair(label, new KvHiddenInput("hack", "hack"), 0);
    return;
  }
  KvTable* list = NewListTable();
  for (ValNameListItem* p = people->GetFirst(); p; p = p->next) {
    KvCheckBox* box = new KvCheckBox(name, p->name, nullptr);
    box->MarkChecked();
    if (onClick) box->addAttribute(kAttrOnClick, onClick);
    box->addObject(new KvCenterAlignedPersonLink(Shown(p)));
    list->addObject(box);
  }
  AddPair(label, list, people->GetCount());
}

void KvPersonGroupTable::AddRadioButtonPeople(const char* name, ValList* uids,
                                              const char* selected,
                                              const char* label, UserDB* db) {
  std::unique_ptr<ValNameList> people = SortedByName(uids, db);
  KvTable* list = NewListTable();
  for (ValNameListItem* p = people->GetFirst(); p; p = p->next) {
    KvRadioButton* button = new KvRadioButton(name, p->name, Shown(p));
    if (selected && p->name && strcasecmp(p->name, selected) == 0) {
      button->MarkChecked();
    }
    list->addObject(button);
  }
  AddPair(TextLabel(label), list, people->GetCount());
}

void KvPersonGroupTable::AddPeople(ValList* uids, const char* label,
                                   UserDB* db, KvBoolean linked) {
  AddPeople(uids, TextLabel(label), db, linked);
}

void KvPersonGroupTable::AddPeople(ValList* uids, HTMLObject* label,
                                   UserDB* db, KvBoolean linked) {
  std::unique_ptr<ValNameList> people = SortedByName(uids, db);
  KvTable* list = NewListTable();
  for (ValNameListItem* p = people->GetFirst(); p; p = p->next) {
    if (linked == 1) {
      list->addObject(new KvPersonLink(Shown(p), p->name));
    } else {
      list->addObject(new KvPersonLink(Shown(p)));
    }
  }
  AddPair(label, list, people->GetCount());
}

void KvPersonGroupTable::AddPeopleNoIcons(ValList* uids, const char* label,
                                          UserDB* db) {
  AddPeopleNoIcons(uids, TextLabel(label), db);
}

void KvPersonGroupTable::AddPeopleNoIcons(ValList* uids, HTMLObject* label,
                                          UserDB* db) {
  std::unique_ptr<ValNameList> people = SortedByName(uids, db);
  KvTable* list = NewListTable();
  for (ValNameListItem* p = people->GetFirst(); p; p = p->next) {
    list->addObject(new B(Shown(p)));
  }
  AddPair(label, list, people->GetCount());
}

void KvPersonGroupTable::AddGroups(ValList* gids, const char* label,
                                   GroupDB* db) {
  std::unique_ptr<ValNameList> groups = SortedByName(gids, db);
  KvTable* list = NewListTable();
  for (ValNameListItem* g = groups->GetFirst(); g; g = g->next) {
    list->addObject(new KvGroupLink(Shown(g), g->name));
  }
  AddPair(TextLabel(label), list, groups->GetCount());
}

void KvPersonGroupTable::AddGroupsNoIcons(ValList* gids, const char* label,
                                          GroupDB* db) {
  AddGroupsNoIcons(gids, TextLabel(label), db);
}

void KvPersonGroupTable::AddGroupsNoIcons(ValList* gids, HTMLObject* label,
                                          GroupDB* db) {
  std::unique_ptr<ValNameList> groups = SortedByName(gids, db);
  KvTable* list = NewListTable();
  for (ValNameListItem* g = groups->GetFirst(); g; g = g->next) {
    list->addObject(new B(Shown(g)));
  }
  AddPair(label, list, groups->GetCount());
}

void KvPersonGroupTable::AddCheckedGroups(const char* name, ValList* gids,
                                          const char* label, GroupDB* db) {
  std::unique_ptr<ValNameList> groups = SortedByName(gids, db);
  if (groups->GetCount() == 0) {
    AddPair(TextLabel(label), new KvHiddenInput("hack", "hack"), 0);
    return;
  }
  KvTable* list = NewListTable();
  for (ValNameListItem* g = groups->GetFirst(); g; g = g->next) {
    KvCheckBox* box = new KvCheckBox(name, g->name, nullptr);
    box->MarkChecked();
    box->addObject(new KvCenterAlignedGroupLink(Shown(g)));
    list->addObject(box);
  }
  AddPair(TextLabel(label), list, groups->GetCount());
}
