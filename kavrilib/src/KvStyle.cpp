// Styles: frame-set and page looks, and the console style with its defaults
// and the settings read from a style file.
#include "KvStyle.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "HTMLObject.h"
#include "ToolkitText.h"

using kavri_toolkit::DupOrNull;
using kavri_toolkit::ReplaceCopy;

const char kKvStyleBackgroundDir[] = "../../../config/style";

// ---- KvFrameSetStyle ----

KvFrameSetStyle::KvFrameSetStyle() : rowsOrCols(kAttrRows), dimensions(nullptr) {}

KvFrameSetStyle::KvFrameSetStyle(int rowsOrCols, const char* dimensions)
    : rowsOrCols(rowsOrCols), dimensions(DupOrNull(dimensions)) {}

KvFrameSetStyle::~KvFrameSetStyle() { free(dimensions); }

void KvFrameSetStyle::SetRowOrCol(int value) { rowsOrCols = value; }

void KvFrameSetStyle::SetDimensions(const char* value) {
  ReplaceCopy(&dimensions, value);
}

// ---- KvPageStyle ----

KvPageStyle::KvPageStyle(const char* colour, const char* image)
    : bgColor(DupOrNull(colour)), bgGif(DupOrNull(image)) {}

KvPageStyle::~KvPageStyle() {
  free(bgColor);
  free(bgGif);
}

void KvPageStyle::SetBgColor(const char* colour) { ReplaceCopy(&bgColor, colour); }

void KvPageStyle::SetBgGif(const char* image) { ReplaceCopy(&bgGif, image); }

// ---- KvStyle ----

namespace {

const char kFrameSuffix[] = ",*";

void ApplyFrameSize(ValNameList* settings, const char* key,
                    KvFrameSetStyle* style) {
  ValNameListItem* item = settings->Lookup(key);
  if (!item) return;
  std::string dims = item->value ? item->value : "";
  dims += kFrameSuffix;
  style->SetDimensions(dims.c_str());
}

void ApplyPage(ValNameList* settings, const char* colourKey,
               const char* imageKey, KvPageStyle* style) {
  if (ValNameListItem* item = settings->Lookup(colourKey)) {
    style->SetBgColor(item->value);
  }
  if (ValNameListItem* item = settings->Lookup(imageKey)) {
    std::string path = kKvStyleBackgroundDir;
    path += "/";
    path += item->value ? item->value : "";
    style->SetBgGif(path.c_str());
  }
}

}  // namespace

KvStyle::KvStyle(int id) { Init(id, nullptr, nullptr); }

KvStyle::KvStyle(const char* name, const char* title) { Init(0, name, title); }

KvStyle::KvStyle(int id, const char* name, const char* title) {
  Init(id, name, title);
}

void KvStyle::Init(int newId, const char* newName, const char* newTitle) {
  id = newId;
  name = DupOrNull(newName);
  title = DupOrNull(newTitle ? newTitle : newName);
  imageDir = DupOrNull(newName);
  InitColors();
}

KvStyle::~KvStyle() {
  DeleteStyles();
  free(name);
  free(title);
  free(imageDir);
}

void KvStyle::DeleteStyles() {
  delete upperFrameSet;
  delete logoFrameSet;
  delete logoPage;
  delete upperPage;
  delete secondUpperFrameSet;
  delete secondLogoFrameSet;
  delete secondLogoPage;
  delete secondUpperPage;
  delete lowerFrameSet;
  delete lowerPage;
  delete mainPage;
  delete selectorFrameSet;
  delete selectorPage;
  delete helpFrameSet;
  delete helpPage;
}

void KvStyle::InitColors() {
  DeleteStyles();
  upperFrameSet = new KvFrameSetStyle(kAttrRows, "50,*");
  logoFrameSet = new KvFrameSetStyle(kAttrCols, "90,*");
  logoPage = new KvPageStyle("#639c9c", nullptr);
  upperPage = new KvPageStyle("#639c9c", nullptr);
  secondUpperFrameSet = new KvFrameSetStyle(kAttrRows, "50,*");
  secondLogoFrameSet = new KvFrameSetStyle(kAttrCols, "90,*");
  secondLogoPage = new KvPageStyle("#639c9c", nullptr);
  secondUpperPage = new KvPageStyle("#639c9c", nullptr);
  lowerFrameSet = new KvFrameSetStyle(kAttrCols, "90,*");
  lowerPage = new KvPageStyle("#cece9c", nullptr);
  mainPage = new KvPageStyle("#ffffff", nullptr);
  selectorFrameSet = new KvFrameSetStyle(kAttrRows, "65,*");
  selectorPage = new KvPageStyle("#cece9c", nullptr);
  helpFrameSet = new KvFrameSetStyle(kAttrRows, "65,*");
  helpPage = new KvPageStyle("#cece9c", nullptr);
}

void KvStyle::InitFromList(ValNameList* settings) {
  if (!settings) return;
  ApplyFrameSize(settings, "upperFrameHeight", upperFrameSet);
  ApplyFrameSize(settings, "logoFrameWidth", logoFrameSet);
  ApplyPage(settings, "logoBackcolor", "logoBackgroundGIF", logoPage);
  ApplyPage(settings, "upperBackcolor", "upperBackgroundGIF", upperPage);
  ApplyFrameSize(settings, "lowerFrameWidth", lowerFrameSet);
  ApplyPage(settings, "lowerBackcolor", "lowerBackgroundGIF", lowerPage);
  ApplyPage(settings, "mainBackcolor", "mainBackgroundGIF", mainPage);
  ApplyFrameSize(settings, "selectorFrameHeight", selectorFrameSet);
  ApplyPage(settings, "selectorBackcolor", "selectorBackgroundGIF", selectorPage);
  ApplyFrameSize(settings, "helpFrameHeight", helpFrameSet);
  ApplyPage(settings, "helpBackcolor", "helpBackgroundGIF", helpPage);
}

char* KvStyle::GetGifPath(const char* image) const {
  std::string path = "images/";
  if (id != -1) {
    path += imageDir ? imageDir : "";
    path += "/";
  }
  path += image ? image : "";
  path += ".gif";
  return strdup(path.c_str());
}
