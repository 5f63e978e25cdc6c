// Person, group and document links: an icon followed by the name, linked to
// the entry's page in the suite's sibling programs when an id is given.
#include "KvDocumentLink.h"
#include "KvGroupLink.h"
#include "KvPersonLink.h"

#include <cstring>

#include "KvImage.h"

namespace {

const char kViewerProgram[] = "../../velmora/bin/velmora.cgi";
const char kGroupProgram[] = "../../groupmgr/bin/groupmgr.cgi";
const char kPersonIcon[] = "mpersonicon";
const char kGroupIcon[] = "mgroupicon";
const char kDocumentIcon[] = "mdocumenticon";
const char kViewPerson[] = "View personal information";
const char kViewGroup[] = "View group information";
const char kMiddleAlign[] = "abscenter";
const char kMainFrame[] = "main_frame";

// The icon, then the name as plain text.
void FillLink(A* link, KvImage* icon, const char* name) {
  link->addObject(icon);
  link->addObject(name, 0);
}

KvImage* Centred(KvImage* icon) {
  icon->addAttribute(kAttrAlign, kMiddleAlign);
  return icon;
}

bool EndsWith(const char* text, const char* suffix) {
  size_t n = strlen(text);
  size_t m = strlen(suffix);
  return n >= m && strcmp(text + n - m, suffix) == 0;
}

}  // namespace

KvPersonLink::KvPersonLink(const char* name) : A() {
  FillLink(this, new KvCommonImage(kPersonIcon), name);
}

KvPersonLink::KvPersonLink(const char* name, const char* uid) : A() {
  Url* url = new Url(kViewerProgram);
  url->addAttribute("program", "front");
  url->addAttribute("selected_prog", "getentry");
  url->addAttribute("uid", uid);
  addAttribute(kAttrHref, static_cast<HTMLObject*>(url));
  addAttribute(kAttrTarget, kMainFrame);
  addStatusMessage(kViewPerson);
  KvImage* icon = new KvCommonImage(kPersonIcon);
  icon->addAttribute(kAttrAlt, kViewPerson);
  FillLink(this, icon, name);
}

KvPersonLink::~KvPersonLink() = default;

KvCenterAlignedPersonLink::KvCenterAlignedPersonLink(const char* name) : A() {
  FillLink(this, Centred(new KvCommonImage(kPersonIcon)), name);
}

KvCenterAlignedPersonLink::~KvCenterAlignedPersonLink() = default;

KvGroupLink::KvGroupLink(const char* name) : A() {
  FillLink(this, new KvCommonImage(kGroupIcon), name);
}

KvGroupLink::KvGroupLink(const char* name, const char* gid) : A() {
  Url* url = new Url(kGroupProgram);
  url->addAttribute("program", "front");
  url->addAttribute("selected_prog", "show");
  url->addAttribute("gid", gid);
  addAttribute(kAttrHref, static_cast<HTMLObject*>(url));
  addAttribute(kAttrTarget, kMainFrame);
  addStatusMessage(kViewGroup);
  KvImage* icon = new KvCommonImage(kGroupIcon);
  icon->addAttribute(kAttrAlt, kViewGroup);
  FillLink(this, icon, name);
}

KvGroupLink::~KvGroupLink() = default;

KvCenterAlignedGroupLink::KvCenterAlignedGroupLink(const char* name) : A() {
  FillLink(this, Centred(new KvCommonImage(kGroupIcon)), name);
}

KvCenterAlignedGroupLink::~KvCenterAlignedGroupLink() = default;

KvDocumentLink::KvDocumentLink(const char* name) : A() {
  FillLink(this, new KvImage(kDocumentIcon), name);
}

KvDocumentLink::KvDocumentLink(const char* name, Url* url,
                               const char* description)
    : A() {
  if (url) {
    addAttribute(kAttrHref, static_cast<HTMLObject*>(url));
    bool html = name && (EndsWith(name, ".htm") || EndsWith(name, ".html"));
    addAttribute(kAttrTarget, html ? "_blank" : "_top");
  }
  addStatusMessage(description);
  KvImage* icon = new KvImage(kDocumentIcon);
  icon->addAttribute(kAttrAlt, description ? description : "");
  FillLink(this, icon, name);
}

KvDocumentLink::~KvDocumentLink() = default;

KvCenterAlignedDocumentLink::KvCenterAlignedDocumentLink(const char* name) : A() {
  FillLink(this, Centred(new KvImage(kDocumentIcon)), name);
}

KvCenterAlignedDocumentLink::~KvCenterAlignedDocumentLink() = default;
