// The business-card and organisation-graph applet elements, the card lines
// they show, and the person link that updates a business-card applet.
#include "KvGraphViewApplet.h"
#include "KvJCardApplet.h"
#include "KvMouseOverLink.h"

#include <strings.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "KvImage.h"
#include "ToolkitText.h"
#include "dblib.h"
#include "versitlib.h"

using kavri_toolkit::OrEmpty;

namespace {

const char kCodeBase[] = "../../common/bin";
const char kViewerProgram[] = "../../velmora/bin/velmora.cgi";
const char kMainFrame[] = "main_frame";
const char kTopWindow[] = "_top";
const char kSelectType[] = "kavriSelectS";
const char kViewPerson[] = "View personal information";
const char kMouseOutScript[] = "self.status='';return true";
const char* const kWebSchemes[] = {"http://", "https://", "ftp://"};

// The graph applet's buttons: parameter name and image file, in order.
const struct {
  const char* param;
  const char* file;
} kGraphButtons[] = {
    {"arrowup", "marrowup.gif"},         {"arrowright", "marrowright.gif"},
    {"smallarrowup", "msmallarrowup.gif"}, {"select", "bselect.gif"},
    {"minus", "bzoomin.gif"},            {"plus", "bzoomout.gif"},
    {"arrowleft", "marrowleft.gif"},     {"prntButton", "bprintpreview.gif"},
};

struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};
using OwnedText = std::unique_ptr<char, FreeDeleter>;

// "images/<style>/<file>"; without a style the style directory is left out.
std::string StyleImage(const char* styleName, const char* file) {
  std::string path = "images/";
  if (styleName && *styleName) path += std::string(styleName) + "/";
  return path + file;
}

std::string Encoded(const char* text) {
  String s(text);
  s.PrepForURL();
  return s.CStr();
}

std::string JSText(const String& text) {
  String s(text.CStr());
  s.PrepForJS();
  return s.CStr();
}

// The value of the card's first entry with that id, or "".
std::string EntryValue(VCard* card, int id) {
  VCardEntry* entry = card ? card->GetEntry(id) : nullptr;
  return entry && entry->value ? entry->value : "";
}

Param* MakeParam(const char* name) {
  Param* param = new Param();
  param->addAttribute(kAttrName, name);
  return param;
}

void AddParam(HTMLObject* applet, const char* name, const char* value) {
  Param* param = MakeParam(name);
  param->addAttribute(kAttrValue, OrEmpty(value));
  applet->addObject(param);
}

void AddParam(HTMLObject* applet, const char* name, const std::string& value) {
  AddParam(applet, name, value.c_str());
}

void AddParam(HTMLObject* applet, const char* name, int value) {
  Param* param = MakeParam(name);
  param->addAttribute(kAttrValue, value);
  applet->addObject(param);
}

void AddParam(HTMLObject* applet, const char* name, Url* value) {
  Param* param = MakeParam(name);
  param->addAttribute(kAttrValue, static_cast<HTMLObject*>(value));
  applet->addObject(param);
}

void SetAppletAttributes(Applet* applet, const char* code, const char* name,
                         int width, int height) {
  applet->addAttribute(kAttrCodebase, kCodeBase);
  applet->addAttribute(kAttrCode, code);
  applet->addAttribute(kAttrName, name);
  applet->addAttribute(kAttrWidth, width);
  applet->addAttribute(kAttrHeight, height);
  applet->addAttribute(kAttrAlign, "top");
}

// The viewer's page of a person.
Url* PersonPageUrl(const char* uid) {
  Url* url = new Url(kViewerProgram);
  url->addAttribute("program", "front");
  url->addAttribute("selected_prog", "getentry");
  if (uid) url->addAttribute("uid", uid);
  return url;
}

bool HasValueURL(const VCardEntry* entry) {
  for (const VCardSubType* s = entry->firstSubType; s; s = s->next) {
    if (s->kind == kSubTypeValue && s->value == kValueURL) return true;
  }
  return false;
}

bool IsWebAddress(const VCardEntry* entry) {
  if (entry->id != kVCardURL && !HasValueURL(entry)) return false;
  for (const char* scheme : kWebSchemes) {
    if (SearchProtocol(scheme, entry->value)) return true;
  }
  return false;
}

bool HasSubType(const VCardEntry* entry) { return entry->firstSubType != nullptr; }

// The text, address and target of one card line.
struct CardLine {
  String* text;
  String* url;
  String* target;
};

// The attributes of the directory that show a chosen option's text.
class SelectAttributes {
 public:
  explicit SelectAttributes(UserDB* users)
      : names(users->GetAttributeList()), types(users->GetAttributeTypes()) {}

  bool IsSelect(const char* attribId) const {
    if (!attribId || !names || !types || !names->Lookup(attribId)) return false;
    ValNameListItem* item = types->Lookup(attribId);
    return item && item->value && strcasecmp(item->value, kSelectType) == 0;
  }

 private:
  std::unique_ptr<ValList> names;
  std::unique_ptr<ValNameList> types;
};

void FillLine(const VCardEntry* field, VCard* card, UserDB* users,
              const SelectAttributes& selects, const CardLine& line) {
  VCardEntry* entry = card->GetEntry(field);
  const char* value = entry && entry->value && *entry->value ? entry->value : nullptr;
  OwnedText attribId(field->GetNameAndSubTypes());
  if (selects.IsSelect(attribId.get())) {
    if (!value) return;
    std::unique_ptr<ValNameList> options(users->GetAttributeOptions(attribId.get()));
    ValNameListItem* option = options ? options->Lookup(value) : nullptr;
    *line.text = String(option && option->value ? option->value : value);
    return;
  }
  if (!value) return;
  if (entry->id == kVCardKavriUID && HasSubType(entry)) {
    OwnedText name(users->GetDisplayName(value));
    *line.text = String(name ? name.get() : value);
    std::string url = std::string(kViewerProgram) +
                      "?program=front&selected_prog=getentry&uid=" + Encoded(value);
    *line.url = String(url.c_str());
    *line.target = String(kMainFrame);
    return;
  }
  *line.text = String(value);
  if (entry->id == kVCardEmail) {
    *line.url = String((std::string("mailto:") + value).c_str());
    *line.target = String(kTopWindow);
  } else if (IsWebAddress(entry)) {
    *line.url = String(value);
    *line.target = String(kTopWindow);
  }
}

// The display name, then text, address and target of lines 1 to 4.
struct CardLines {
  String name;
  String parts[12];

  CardLines(VCard* layout, VCard* card, UserDB* users, KvConfigDB* config)
      : name(EntryValue(card, kVCardFN).c_str()) {
    KvJCardApplet::PopulateJCard(layout, card, users, config, &parts[0], &parts[1],
                                 &parts[2], &parts[3], &parts[4], &parts[5], &parts[6],
                                 &parts[7], &parts[8], &parts[9], &parts[10],
                                 &parts[11]);
  }
};

}  // namespace

KvJCardApplet::KvJCardApplet(VCard* layout, VCard* card, const char* bgColor,
                             const char* styleName, UserDB* users,
                             KvConfigDB* config)
    : Applet() {
  SetAppletAttributes(this, "JCard.class", "JCard", 191, 120);
  AddParam(this, "cardGif", StyleImage(styleName, "mjcard.gif"));
  AddParam(this, "bgColor", bgColor);
  AddParam(this, "personInfoUrl", PersonPageUrl(nullptr));
  AddParam(this, "targetFrame", kMainFrame);
  int number = 0;
  for (VCardEntry* e = layout ? layout->firstEntry : nullptr; e; e = e->next, ++number) {
    if (e->value && *e->value) {
      AddParam(this, ("title" + std::to_string(number)).c_str(), e->value);
    }
  }
  if (!card) return;
  CardLines lines(layout, card, users, config);
  AddParam(this, "uid", Encoded(EntryValue(card, kVCardUID).c_str()));
  AddParam(this, "entry0", lines.name.CStr());
  for (int n = 1; n <= 4; ++n) {
    const String* line = &lines.parts[3 * (n - 1)];
    std::string suffix = std::to_string(n);
    AddParam(this, ("entry" + suffix).c_str(), line[0].CStr());
    AddParam(this, ("url" + suffix).c_str(), line[1].CStr());
    AddParam(this, ("target" + suffix).c_str(), line[2].CStr());
  }
}

KvJCardApplet::~KvJCardApplet() = default;

void KvJCardApplet::PopulateJCard(VCard* layout, VCard* card, UserDB* users,
                                  KvConfigDB* /*config*/,
                                  String* text1, String* url1, String* target1,
                                  String* text2, String* url2, String* target2,
                                  String* text3, String* url3, String* target3,
                                  String* text4, String* url4, String* target4) {
  const CardLine lines[] = {{text1, url1, target1},
                            {text2, url2, target2},
                            {text3, url3, target3},
                            {text4, url4, target4}};
  for (const CardLine& line : lines) {
    *line.text = String("");
    *line.url = String("");
    *line.target = String("");
  }
  if (!layout || !card || !users) return;
  try {
    SelectAttributes selects(users);
    int number = 0;
    for (VCardEntry* field = layout->firstEntry; field && number <= 4;
         field = field->next, ++number) {
      if (number > 0) FillLine(field, card, users, selects, lines[number - 1]);
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error while generating PopulateJCard");
    throw;
  }
}

KvGraphViewApplet::KvGraphViewApplet(const char* uid, const char* styleName,
                                     int width, int height, const char* bgColor,
                                     int zoomFactor, const char* titleEntry,
                                     const char* printPreviewUrl,
                                     KvBoolean selectorOn, KvBoolean singleSelMode,
                                     int urlLength, const char* selectorCookie)
    : Applet() {
  Url* graphData = new Url("../../common/bin/common.cgi");
  graphData->addAttribute("program", "graphview_comm");
  Url* selected = new Url("../../selector/bin/selector.cgi");
  selected->addAttribute("program", "selected_people");
  selected->addAttribute("selector_mode", singleSelMode == 1 ? "single" : "multi");
  selected->addAttribute("PersonSelectorCookieToLook", OrEmpty(selectorCookie));

  SetAppletAttributes(this, "GraphView.class", "GraphView", width, height);
  AddParam(this, "uid", Encoded(uid));
  for (const auto& button : kGraphButtons) {
    AddParam(this, button.param, StyleImage(styleName, button.file));
  }
  AddParam(this, "bgColor", bgColor);
  AddParam(this, "graphviewCommUrl", graphData);
  AddParam(this, "selectedPeopleUrl", selected);
  AddParam(this, "selectedPeopleParam", "sel_uid_val");
  AddParam(this, "selectedPeopleTarget", "selector_selected_people");
  AddParam(this, "zoom_factor", zoomFactor);
  AddParam(this, "titleEntry", titleEntry);
  AddParam(this, "printPreviewURL", printPreviewUrl);
  if (selectorOn == 1) AddParam(this, "selectorOn", "true");
  if (singleSelMode == 1) AddParam(this, "singleSelMode", "true");
  AddParam(this, "urlLength", urlLength);
}

KvGraphViewApplet::~KvGraphViewApplet() = default;

KvMouseOverLink::KvMouseOverLink(VCard* layout, VCard* card, const char* uid,
                                 UserDB* users, KvConfigDB* config)
    : A() {
  addAttribute(kAttrHref, static_cast<HTMLObject*>(PersonPageUrl(OrEmpty(uid))));
  addAttribute(kAttrTarget, kMainFrame);

  CardLines lines(layout, card, users, config);
  if (!card && users && uid) {
    OwnedText name(users->GetDisplayName(uid));
    if (name) lines.name = String(name.get());
  }
  std::string script = "updateJCard('" + JSText(lines.name);
  for (const String& part : lines.parts) script += "','" + JSText(part);
  script += "');self.status='";
  script += kViewPerson;
  script += "';return true";
  addAttribute(kAttrOnMouseOver, script.c_str());

  KvImage* icon = new KvCommonImage("mpersonicon");
  icon->addAttribute(kAttrAlign, "top");
  icon->addAttribute(kAttrAlt, kViewPerson);
  addObject(icon);
  addAttribute(kAttrOnMouseOut, kMouseOutScript);
  addObject(lines.name.CStr(), 0);
}

KvMouseOverLink::~KvMouseOverLink() = default;
