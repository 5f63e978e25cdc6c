// URL objects: javascript: calls of the page functions, confirmations,
// hot-list additions, mail addresses and the address book.
#include "ConfirmUrl.h"
#include "EmailUrl.h"
#include "HotlistUrl.h"
#include "JavaScriptUrl.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "dblib.h"

namespace {

const char kDoNothing[] = "javascript:donothing()";
const char kCommonProgram[] = "../../common/bin/common.cgi";
const char kHelpProgram[] = "../../help/bin/help.cgi";

// Frees a malloc'd text at scope end.
struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};
using OwnedText = std::unique_ptr<char, FreeDeleter>;

// message (null counts as empty) made safe inside a single-quoted script
// string.
std::string JSQuoted(const char* message) {
  String text(message ? message : "");
  text.PrepForJS();
  return text.CStr();
}

bool IsEmpty(const ValList* list) { return !list || list->GetCount() == 0; }

// The first e-mail address on the person's card, or an empty text.
std::string PersonAddress(const char* uid, UserDB* db) {
  if (!uid || !db) return std::string();
  std::unique_ptr<VCard> card(db->GetUserCard(uid));
  if (!card) return std::string();
  VCardEntry* entry = card->GetEntry(kVCardEmail);
  if (!entry) return std::string();
  OwnedText value(entry->GetValue());
  return value ? std::string(value.get()) : std::string();
}

// Appends the address of each person that has one; with onlyOnce, an
// address already collected is not added again.
void CollectPeople(ValList* uids, UserDB* db, bool onlyOnce, ValList* addresses) {
  for (ValListItem* i = uids ? uids->GetFirst() : nullptr; i; i = i->next) {
    std::string address = PersonAddress(i->value, db);
    if (address.empty()) continue;
    if (onlyOnce)
      addresses->AppendWithDupCheck(address.c_str());
    else
      addresses->Append(address.c_str());
  }
}

}  // namespace

// ---- javascript: URLs ----

DoNothingUrl::DoNothingUrl() : Url() { addObject(kDoNothing, 0); }
DoNothingUrl::~DoNothingUrl() = default;

SubmitFormUrl::SubmitFormUrl() : Url() { addObject("javascript:submitForm()", 0); }
SubmitFormUrl::~SubmitFormUrl() = default;

DenyWithAlertUrl::DenyWithAlertUrl(const char* message) : Url() {
  std::string text = "javascript:denyWithAlert('";
  text += JSQuoted(message);
  text += "')";
  addObject(text.c_str(), 0);
}
DenyWithAlertUrl::~DenyWithAlertUrl() = default;

SubmitFormAfterConfirmUrl::SubmitFormAfterConfirmUrl(const char* message)
    : Url() {
  std::string text = "javascript:submitFormAfterConfirm('";
  text += JSQuoted(message);
  text += "')";
  addObject(text.c_str(), 0);
}
SubmitFormAfterConfirmUrl::~SubmitFormAfterConfirmUrl() = default;

HelpUrl::HelpUrl(const char* topic) : Url() {
  String encoded(topic);
  encoded.PrepForURL();
  std::string text = "javascript:KvHelp('";
  text += kHelpProgram;
  text += "?program=help_window','";
  text += encoded.CStr();
  text += "')";
  addObject(text.c_str(), 0);
}
HelpUrl::~HelpUrl() = default;

AddBookUrl::AddBookUrl() : Url("addbook:add") {}
AddBookUrl::~AddBookUrl() = default;

// ---- Confirmations ----

KvConfirmUrlBase::KvConfirmUrlBase(const char* function, const char* message,
                                   Url* url)
    : HTMLObject() {
  std::string head = "javascript:";
  head += function;
  head += "('";
  head += JSQuoted(message);
  head += "','";
  addObject(head.c_str(), 0);
  if (url) addObject(url);
  addObject("');", 0);
}
KvConfirmUrlBase::~KvConfirmUrlBase() = default;

ConfirmUrl::ConfirmUrl(const char* message, Url* url)
    : KvConfirmUrlBase("MyConfirm", message, url) {}
ConfirmUrl::~ConfirmUrl() = default;

ConfirmDeleteMeetingUrl::ConfirmDeleteMeetingUrl(const char* message, Url* url)
    : KvConfirmUrlBase("ConfirmDeleteMeeting", message, url) {}
ConfirmDeleteMeetingUrl::~ConfirmDeleteMeetingUrl() = default;

ConfirmDeleteUrl::ConfirmDeleteUrl(const char* message, Url* url)
    : KvConfirmUrlBase("ConfirmDelete", message, url) {}
ConfirmDeleteUrl::~ConfirmDeleteUrl() = default;

ConfirmClearUrl::ConfirmClearUrl(const char* message, Url* url)
    : KvConfirmUrlBase("ConfirmClear", message, url) {}
ConfirmClearUrl::~ConfirmClearUrl() = default;

ConfirmDeleteMeetingSubmitUrl::ConfirmDeleteMeetingSubmitUrl(
    const char* message)
    : HTMLObject() {
  std::string text = "javascript:ConfirmDeleteMeetingSubmit('";
  text += JSQuoted(message);
  text += "');";
  addObject(text.c_str(), 0);
}
ConfirmDeleteMeetingSubmitUrl::~ConfirmDeleteMeetingSubmitUrl() = default;

// ---- Hot list ----

AddUidItemToHotlistUrl::AddUidItemToHotlistUrl(const char* uid)
    : Url(kCommonProgram) {
  addAttribute("program", "add_uid_to_hotlist");
  addAttribute("uid", uid);
}

AddUidItemToHotlistUrl::AddUidItemToHotlistUrl(ValList* uids)
    : Url(IsEmpty(uids) ? nullptr : kCommonProgram) {
  if (IsEmpty(uids)) {
    addObject(kDoNothing, 0);
    return;
  }
  addAttribute("program", "add_uid_to_hotlist");
  for (ValListItem* i = uids->GetFirst(); i; i = i->next) {
    addAttribute("uid", i->value);
  }
}
AddUidItemToHotlistUrl::~AddUidItemToHotlistUrl() = default;

AddGidItemToHotlistUrl::AddGidItemToHotlistUrl(const char* gid)
    : Url(kCommonProgram) {
  addAttribute("program", "add_gid_to_hotlist");
  addAttribute("gid", gid);
}

AddGidItemToHotlistUrl::AddGidItemToHotlistUrl(ValList* gids)
    : Url(IsEmpty(gids) ? nullptr : kCommonProgram) {
  if (IsEmpty(gids)) {
    addObject(kDoNothing, 0);
    return;
  }
  addAttribute("program", "add_gid_to_hotlist");
  for (ValListItem* i = gids->GetFirst(); i; i = i->next) {
    addAttribute("gid", i->value);
  }
}
AddGidItemToHotlistUrl::~AddGidItemToHotlistUrl() = default;

// ---- Mail ----

EmailUrl::EmailUrl(const char* address) : Url() {
  std::string text = "mailto:";
  text += address ? address : "";
  addObject(text.c_str(), 0);
}

EmailUrl::EmailUrl(const char* uid, UserDB* db) : Url() {
  std::string text = "mailto:" + PersonAddress(uid, db);
  addObject(text.c_str(), 0);
}

EmailUrl::EmailUrl(ValList* uids, UserDB* db) : Url() {
  ValList addresses;
  CollectPeople(uids, db, false, &addresses);
  SetAddresses(addresses);
}

EmailUrl::EmailUrl(ValList* uids, ValList* gids, UserDB* db, GroupDB* gdb)
    : Url() {
  ValList addresses;
  CollectPeople(uids, db, true, &addresses);
  for (ValListItem* g = gids ? gids->GetFirst() : nullptr; g && gdb; g = g->next) {
    if (!g->value) continue;
    std::unique_ptr<ValList> members(gdb->GetMembers(g->value));
    CollectPeople(members.get(), db, true, &addresses);
  }
  SetAddresses(addresses);
}

EmailUrl::~EmailUrl() = default;

void EmailUrl::SetAddresses(const ValList& addresses) {
  if (addresses.GetCount() == 0) {
    addObject(kDoNothing, 0);
    return;
  }
  std::string text = "mailto:";
  for (ValListItem* i = addresses.GetFirst(); i; i = i->next) {
    if (i != addresses.GetFirst()) text += ",";
    text += i->value;
  }
  addObject(text.c_str(), 0);
}
