// The window and normal page classes: head, script block on demand, body in
// the page style's colours, and the load/unload hooks of the body.
#include "KvPage.h"
#include "KvWindow.h"

#include <string>

const char kKvMiscJS[] = "../../common/bin/misc.js";
const char kKvConfirmJS[] = "../../common/bin/confirm.js";
const char kKvHelpJS[] = "../../common/bin/help.js";
const char kKvSelectorJS[] = "../../common/bin/selector.js";
const char kKvInitJS[] = "../../common/bin/init.js";
const char kKvSetCurrentJS[] = "../../common/bin/setcurrent.js";
const char kKvJCardJS[] = "../../common/bin/jcard.js";

// ---- KvWindow ----

KvWindow::KvWindow() : Page(), script(nullptr), head(new Head()) {
  addObject(head);
}

KvWindow::~KvWindow() = default;

void KvWindow::CheckScript() {
  if (script) return;
  script = new Script();
  head->addObject(script);
  script->addAttribute(kAttrLanguage, "JavaScript");
}

void KvWindow::AddJSFile(const char* path) {
  CheckScript();
  script->IncludeFile(path);
}

void KvWindow::AddJSFunction(const char* name) { AddJSFunction(kKvMiscJS, name); }

void KvWindow::AddJSFunction(const char* path, const char* name) {
  CheckScript();
  script->IncludeJSFunction(path, name);
}

void KvWindow::AddJSVar(const char* name, const char* value) {
  CheckScript();
  std::string line = "var ";
  line += name ? name : "";
  // "var x = ;" would be a syntax error that loses the whole script block,
  // so a variable without a value is only declared.
  if (value) {
    line += " = ";
    line += value;
  }
  line += ";";
  script->addObject(line.c_str(), 0);
}

void KvWindow::AddJSVar(const char* name, int value) {
  AddJSVar(name, std::to_string(value).c_str());
}

void KvWindow::AddJSHelpFunctions() { AddJSFunction(kKvHelpJS, "KvHelp"); }
void KvWindow::AddJSDoNothing() { AddJSFunction(kKvMiscJS, "donothing"); }
void KvWindow::AddJSAskForEmailNotify() { AddJSFunction(kKvMiscJS, "NotifyByEmail"); }
void KvWindow::AddJSSubmitFormAfterConfirm() {
  AddJSFunction(kKvMiscJS, "submitFormAfterConfirm");
}
void KvWindow::AddJSSubmitForm() { AddJSFunction(kKvMiscJS, "submitForm"); }
void KvWindow::AddJSIsInteger() { AddJSFunction(kKvMiscJS, "isInteger"); }
void KvWindow::AddJSIsNonNullInteger() { AddJSFunction(kKvMiscJS, "isNonNullInteger"); }
void KvWindow::AddJSConfirmClear() { AddJSFunction(kKvConfirmJS, "ConfirmClear"); }
void KvWindow::AddJSConfirmDeleteMeeting() {
  AddJSFunction(kKvConfirmJS, "ConfirmDeleteMeeting");
}
void KvWindow::AddJSConfirmDeleteMeetingSubmit() {
  AddJSFunction(kKvConfirmJS, "ConfirmDeleteMeetingSubmit");
}
void KvWindow::AddJSConfirmDelete() { AddJSFunction(kKvConfirmJS, "ConfirmDelete"); }
void KvWindow::AddJSConfirm() { AddJSFunction(kKvConfirmJS, "MyConfirm"); }
void KvWindow::AddJSNullifyHelpWin() {
  AddJSFunction(kKvSetCurrentJS, "nullifyHelpWin");
}

void KvWindow::AddJSCurrentlyIn() {
  CheckScript();
  script->IncludeJSCode(kKvInitJS);
  script->IncludeJSFunction(kKvSetCurrentJS, "onUnloadInit");
}

// ---- KvPage ----

KvPage::KvPage(KvPageStyle* style) : KvWindow(), body(new Body()) {
  addObject(body);
  if (!style) {
    body->addAttribute(kAttrBgcolor, "#ffffff");
    return;
  }
  body->addAttribute(kAttrBgcolor, style->GetBgColor());
  if (style->GetBgGif()) body->addAttribute(kAttrBackground, style->GetBgGif());
}

KvPage::~KvPage() = default;

void KvPage::OnLoad(const char* onLoad) { body->addAttribute(kAttrOnLoad, onLoad); }

void KvPage::SetHelpContext(const char* program) {
  std::string text = "top.CurrentProg='";
  text += program ? program : "";
  text += "'";
  body->AppendToAttribute(kAttrOnLoad, text.c_str());
}

void KvPage::AddFormFocusTo(const char* form, const char* field) {
  std::string text = "document.";
  text += form ? form : "";
  text += ".";
  text += field ? field : "";
  text += ".focus();";
  body->AppendToAttribute(kAttrOnLoad, text.c_str());
}

HTMLObject* KvPage::AppendToBody(HTMLObject* object) { return body->addObject(object); }

HTMLObject* KvPage::AppendToBody(const char* text) { return body->addObject(text, 0); }

HTMLObject* KvPage::AppendToBody(int number) { return body->addObject(number); }

void KvPage::AddJSCloseWindow() { AddJSFunction(kKvSelectorJS, "CloseWindow"); }

void KvPage::AddJSSelectorWindowClose() {
  body->addAttribute(kAttrOnUnload, "SelectorWindowClose()");
  AddJSFunction(kKvSelectorJS, "SelectorWindowClose");
}

void KvPage::AddJSSelectorQuit() { AddJSFunction(kKvSelectorJS, "SelectorQuit"); }

void KvPage::AddJSCloseChild() {
  CheckScript();
  script->addObject("var child;", 0);
  body->addAttribute(kAttrOnUnload, "CloseChild()");
  AddJSFunction(kKvSelectorJS, "CloseChild");
}

void KvPage::AddJSJCard() {
  AddJSFile(kKvJCardJS);
  body->AppendToAttribute(kAttrOnLoad, "pageIsLoaded()");
}
