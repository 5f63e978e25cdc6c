// The bug-report, message and feedback pages, and the LDAP connection table.
#include "KvErrorPages.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "EmailUrl.h"
#include "KvForm.h"
#include "KvImage.h"
#include "KvInput.h"
#include "KvSelect.h"
#include "KvSharedImages.h"
#include "KvTextArea.h"

namespace {

// Fields of the mail forms: variable name and label.
struct MailField {
  const char* name;
  const char* label;
};

const MailField kBugReportFields[] = {
    {"name", "Name"},
    {"organization", "Organization"},
    {"email", "Email Address"},
    {"phone", "Phone Number"},
};

const MailField kFeedbackFields[] = {
    {"person_name", "Name"},
    {"organization", "Organization"},
    {"email", "Email Address"},
    {"phone", "Phone Number"},
};

const char* const kBugLevels[] = {"Fatal", "Serious", "Irritating",
                                  "Enhancement"};

const char* const kMailItems[] = {"Your Name", "Organization", "Email Address",
                                  "Phone Number", "Comment"};

const char kNoMailText[] =
    "Your browser doesn't support sending mail automatically !";

bool CanSendMail(const RequestInfo* req) {
  return req && req->browserType == RequestInfo::kBrowserMozilla &&
         req->browserVersion >= 3.0;
}

std::string Platform() {
  std::unique_ptr<char, decltype(&free)> platform(KvGetPlatform(), &free);
  return platform ? platform.get() : "";
}

// A text label and its input as one row of table.
template <size_t N>
void AddTextRows(KvTable* table, const MailField (&fields)[N]) {
  for (const MailField& field : fields) {
    table->addObject(field.label, false);
    table->addObject(new KvTextInput(field.name, ""));
  }
}

KvSelect* BugLevelSelect(const char* selected) {
  KvSelect* select = new KvSelect("BugLevel");
  for (const char* level : kBugLevels) {
    if (std::string(level) == selected)
      select->AddOptionSelected(level, level);
    else
      select->AddOption(level, level);
  }
  return select;
}

// "Please e-mail to <address> the following information " and the list of
// what to send.
void AddMailInstructions(KvPage* page, const char* address, bool breakBefore) {
  page->AppendToBody("Please e-mail to ");
  A* link = new A(address);
  link->addAttribute(kAttrHref, new EmailUrl(address));
  page->AppendToBody(link);
  page->AppendToBody(" the following information ");
  if (breakBefore) page->AppendToBody(new Br());
  Ul* list = new Ul();
  for (const char* item : kMailItems) list->addObject(new Li(item));
  page->AppendToBody(list);
}

}  // namespace

Page* KvCreateErrorPage(ValList* lines, const char* address,
                        RequestInfo* req) {
  if (!address) address = "";
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  page->AddJSFunction("sendtotop");
  page->GetBody()->AppendToAttribute(kAttrOnLoad, "sendtotop()");
  page->AddToList(new WindowTarget("_top"));
  page->AppendToBody(KvGetKavriLogo());
  page->AppendToBody(new H1("Bug Report Form"));
  page->AppendToBody("An error has occurred while executing the application.");

  std::string traceback;
  if (lines) {
    for (ValListItem* item = lines->GetFirst(); item; item = item->next)
      if (item->value) traceback += item->value;
  }
  std::string platform = Platform();

  if (CanSendMail(req)) {
    page->AppendToBody(
        " Please fill in your contact information and a brief description of "
        "the bug and submit this form.\tThe information will be mailed to "
        "Kavri.");
    KvEmailForm* form = new KvEmailForm("createform", new EmailUrl(address));
    KvTable* table = new KvTable(2, 0, 0);
    AddTextRows(table, kBugReportFields);
    table->addObject("Level", false);
    table->addObject(BugLevelSelect("Fatal"));
    table->addObject("Description", false);
    table->addObject(new KvTextArea("description", nullptr));
    form->addObject(table);
    form->addObject(new KvHiddenInput("traceback", traceback.c_str()));
    form->addObject(new KvHiddenInput("platform", platform.c_str()));
    form->addObject(new KvSubmitButton("button", "Submit"));
    page->AppendToBody(form);
  } else {
    page->AppendToBody(new B(kNoMailText));
    page->AppendToBody(new Br());
    AddMailInstructions(page.get(), address, false);
    page->AppendToBody("Make sure to append the following traceback in the mail.");
    page->AppendToBody(new Hr());
    KvTable* table = new KvTable(2, 0, 0);
    table->addObject("Traceback", false);
    HTMLObject* trace = new HTMLObject();
    if (lines) {
      for (ValListItem* item = lines->GetFirst(); item; item = item->next) {
        trace->addObject(item->value ? item->value : "", false);
        trace->addObject(new Br());
      }
    }
    table->addObject(trace);
    table->addObject("Platform", false);
    table->addObject(platform.c_str(), false);
    page->AppendToBody(table);
  }
  return page.release();
}

Page* EmitNicePage(ValList* messages) {
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  page->AppendToBody(new KvImage("herror"));
  page->AppendToBody(new Br());
  page->AppendToBody(new H2(
      "The following messages were produced by the product. Please contact "
      "your webmaster to fix the problem."));
  page->AppendToBody(new Br());
  page->AppendToBody(new Br());
  if (messages) {
    for (ValListItem* item = messages->GetFirst(); item; item = item->next) {
      page->AppendToBody(new B(item->value));
      page->AppendToBody(new Br());
    }
  }
  return page.release();
}

Page* KvCreateGenericFeedbackPage(const char* image, const char* heading,
                                  const char* address, RequestInfo* req) {
  if (!address) address = "";
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  page->AppendToBody(new KvCommonImage(image));
  page->AppendToBody(new Br());
  if (CanSendMail(req)) {
    page->AppendToBody(new H2(heading));
    page->SetHelpContext("Feedback");
    page->AddFormFocusTo("createform", "person_name");
    KvEmailForm* form = new KvEmailForm("createform", new EmailUrl(address));
    KvTable* table = new KvTable(2, 0, 0);
    AddTextRows(table, kFeedbackFields);
    table->addObject("Level", false);
    table->addObject(BugLevelSelect("Enhancement"));
    table->addObject("Comments", false);
    table->addObject(new KvTextArea("description", nullptr));
    form->addObject(table);
    form->addObject(new KvSubmitButton("button", "Submit"));
    page->AppendToBody(form);
  } else {
    page->AppendToBody(new Br());
    page->AppendToBody(new B(kNoMailText));
    page->AppendToBody(new Br());
    AddMailInstructions(page.get(), address, true);
  }
  return page.release();
}

KvTable* GetLDAPInfoTable(const char* machine, int port, const char* rootDN,
                          KvBoolean fixedNames, const char* searchBase) {
  static const char kFixedRootDN[] = "cn=Directory Manager, o=Company, c=US";
  static const char kFixedSearchBase[] = "o=Company, c=US";
  std::unique_ptr<KvTable> table(new KvTable(2, 0, 0));
  table->SetVerticalAlignment("center");
  auto fixed = [](const char* name, const char* text) {
    HTMLObject* both = new HTMLObject();
    both->addObject(new B(text));
    both->addObject(new KvHiddenInput(name, text));
    return both;
  };
  table->addObject(new B("Machine"));
  table->addObject(new KvTextInput("machineNo", machine ? machine : ""));
  table->addObject(new B("Port Number"));
  table->addObject(new KvTextInput("portNo", std::to_string(port).c_str()));
  table->addObject(new B("Root DN"));
  if (fixedNames == 1)
    table->addObject(fixed("rootDN", kFixedRootDN));
  else
    table->addObject(new KvTextInput("rootDN", rootDN ? rootDN : ""));
  table->addObject(new B("Root Password"));
  table->addObject(new KvPasswordInput("rootPasswd", ""));
  table->addObject(new B("Search Base"));
  if (fixedNames == 1)
    table->addObject(fixed("searchBase", kFixedSearchBase));
  else
    table->addObject(new KvTextInput("searchBase", searchBase ? searchBase : ""));
  return table.release();
}
