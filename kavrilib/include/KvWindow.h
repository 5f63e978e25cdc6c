// The skeleton of every document of the console: a page with a head and a
// JavaScript block that is created on first use. The JavaScript itself is
// not part of the program: the named functions, or whole files, are copied
// from the installation's script files when the page is emitted.
#pragma once

#include "htmllib.h"

// The installation's script files, relative to the program's directory.
extern const char kKvMiscJS[];       // "../../common/bin/misc.js"
extern const char kKvConfirmJS[];    // "../../common/bin/confirm.js"
extern const char kKvHelpJS[];       // "../../common/bin/help.js"
extern const char kKvSelectorJS[];   // "../../common/bin/selector.js"
extern const char kKvInitJS[];       // "../../common/bin/init.js"
extern const char kKvSetCurrentJS[]; // "../../common/bin/setcurrent.js"
extern const char kKvJCardJS[];      // "../../common/bin/jcard.js"

class KvWindow : public Page {
 public:
  // A page holding only its head; no script element yet.
  KvWindow();
  ~KvWindow() override;

  // Creates the script element in the head on first call.
  void CheckScript();

  // Copies the whole file.
  void AddJSFile(const char* path);
  // Copies one function of the general script file, or of path.
  void AddJSFunction(const char* name);
  void AddJSFunction(const char* path, const char* name);
  // Declares "var name = value;"; for a null value "var name;". The
  // declarations follow the copied functions in the script block.
  void AddJSVar(const char* name, const char* value);
  void AddJSVar(const char* name, int value);

  void AddJSHelpFunctions();
  void AddJSDoNothing();
  void AddJSAskForEmailNotify();
  void AddJSSubmitFormAfterConfirm();
  void AddJSSubmitForm();
  void AddJSIsInteger();
  void AddJSIsNonNullInteger();
  void AddJSConfirmClear();
  void AddJSConfirmDeleteMeeting();
  void AddJSConfirmDeleteMeetingSubmit();
  void AddJSConfirmDelete();
  void AddJSConfirm();
  void AddJSNullifyHelpWin();
  void AddJSCurrentlyIn();

  // Owned by the page; the script is null until first used.
  Head* GetHead() const { return head; }
  Script* GetScript() const { return script; }

 protected:
  Script* script;
  Head* head;
};
