// The handler of the access-control pages: who may modify each attribute of
// a person's entry (and the default rule for all of them) and who approves
// such changes, who may add or delete entries and who is told when it
// happens. The lists themselves live in the user directory.
#pragma once

#include "VelmoraAdminCommon.h"

// How the tokens of an access list are shown.
extern const char labelUsers[];     // "Users(for themselves)", token "self"
extern const char labelDirAdmin[];  // "Directory admin(s)", token "dirAdmin"
extern const char labelOthers[];    // "Others", the remaining uids

class VelmoraAdminAccessControl : public VelmoraAdminCommon {
 public:
  VelmoraAdminAccessControl(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminAccessControl() override;
  Page* HandleEvent(const char* program) override;

  // Every page below is new and the caller deletes it. Those that read or
  // write a list throw KvError* when the directory does; a directory that
  // cannot be reached keeps the unreachable kind, so that HandleEvent can
  // answer with the database set-up page.

  // The frame set of the feature: the tab frame over the main frame.
  Page* GenAccessControlFrameSet();
  // The heading, the explanation and the three buttons.
  Page* GenAccessControlTabsFrame();
  // The blank page a frame shows before anything is chosen.
  Page* GenMainPage();
  // The attribute chooser over the frame of one attribute's rule.
  Page* GenShowAttributeFrameSet();
  Page* GenAttribListFrame();

  // Attribute pages, for "attribId" (an attribute id or "defaultAttr").
  // The rule: who may modify it and who approves.
  Page* GenAttribMainFrame();
  // The form that edits who may modify it; also the page the person
  // selector returns to ("selector" present), which then shows the uids of
  // "PersonSelectorCookie" and the choices the form had.
  Page* GenAttribModifyFrame();
  // Stores the modifiers from that form; then the approver form.
  Page* GenAttribSavePeople();
  // Who approves, chosen among the modifiers; the rule page when there is
  // nobody to choose.
  Page* GenAttribSelectEmailFrame();
  // Stores the approvers; then the rule page.
  Page* GenProcessSelectEmail();

  // Operation pages, for "operId": "add" means adding entries, any other
  // value deleting them.
  Page* GenOperationMainFrame();
  Page* GenOperationModifyFrame();
  // Stores the modifiers; then the notification form.
  Page* GenOperationSaveModifiers();
  // Who is told by e-mail, chosen among the modifiers; the rule page when
  // there is nobody to choose.
  Page* GenOperationSelectEmailFrame();
  // Stores the notification list; then the rule page.
  Page* GenOperationSaveEmail();
};
