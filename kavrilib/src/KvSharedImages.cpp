// Images whose source is a request to a sibling program of the suite, and
// the vendor logo file.
#include "KvSharedImages.h"

#include <ctime>

namespace {
const char kViewerProgram[] = "../../velmora/bin/velmora.cgi";
const char kCommonProgram[] = "../../common/bin/common.cgi";
const char kKavriLogoFile[] = "../../common/bin/images/kavrilogo.gif";

KvImage* CommonProgramImage(const char* program, const char* name = nullptr,
                            const char* value = nullptr) {
  Url* url = new Url(kCommonProgram);
  url->addAttribute("program", program);
  if (name) url->addAttribute(name, value);
  return new KvImage(url);
}
}  // namespace

KvImage* KvGetPersonGif(const char* uid, const char* photoType,
                        KvBoolean addTime) {
  Url* url = new Url(kViewerProgram);
  url->addAttribute("program", "streamPhoto");
  url->addAttribute("uid", uid);
  if (photoType) url->addAttribute("photo_type", photoType);
  if (addTime) url->addAttribute("curtime", static_cast<int>(time(nullptr)));
  return new KvImage(url);
}

KvImage* KvGetKavriCompanyGif() { return CommonProgramImage("kavri_company_gif"); }

KvImage* KvGetCompanyLogo(const char* styleId) {
  return CommonProgramImage("company_gif", "styleId", styleId);
}

KvImage* KvGetFrontPageLogo() { return CommonProgramImage("front_page_gif"); }

KvImage* KvGetKavriLogo() {
  KvImage* image = new KvImage(kKavriLogoFile);
  image->GifSrc();
  return image;
}
