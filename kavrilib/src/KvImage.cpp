// Images of the style and common image directories; the source path is
// decided by the style name given at emission.
#include "KvImage.h"

#include <cstdlib>

#include "ToolkitText.h"

using kavri_toolkit::DupOrNull;

namespace {

const char kStyleImageDir[] = "images/";
const char kCommonImageDir[] = "../../common/bin/images/";
const char kGifSuffix[] = ".gif";

String ImagePath(const char* dir, const char* styleName, const char* name) {
  String path(dir);
  if (styleName) {
    path += styleName;
    path += "/";
  }
  path += name;
  path += kGifSuffix;
  return path;
}

}  // namespace

KvImage::KvImage(const char* name) : Img(), imageName(DupOrNull(name)), fullPath(0) {
  activateURLs = 0;
  StartOnNewLine(0);
  EndOnNewLine(0);
  if (name) addAttribute(kAttrBorder, "0");
}

KvImage::KvImage(const char* name, int width, int height) : KvImage(name) {
  if (name) {
    addAttribute(kAttrWidth, width);
    addAttribute(kAttrHeight, height);
  }
}

KvImage::KvImage(Url* source) : Img(), imageName(nullptr), fullPath(0) {
  addAttribute(kAttrSrc, static_cast<HTMLObject*>(source));
  addAttribute(kAttrBorder, "0");
}

KvImage::~KvImage() { free(imageName); }

void KvImage::GifSrc() { fullPath = 1; }

String KvImage::SourcePath(const char* styleName) const {
  if (!imageName) return String();
  if (fullPath == 1) return String(imageName);
  return ImagePath(kStyleImageDir, styleName, imageName);
}

void KvImage::emit(RequestInfo* req, int indent, int lineBreaks,
                   const char* styleName) {
  if (!imageName) {
    Img::emit(req, indent, lineBreaks, styleName);
    return;
  }
  // The source depends on the style of this emission, so it is added for
  // the emission only and removed again afterwards.
  HTMLAttribute* src = addAttribute(kAttrSrc, SourcePath(styleName));
  Img::emit(req, indent, lineBreaks, styleName);
  if (src) RemoveEmissionSource(src);
}

void KvImage::RemoveEmissionSource(HTMLAttribute* src) {
  HTMLAttribute** link = &attributes;
  while (*link && *link != src) link = &(*link)->next;
  if (!*link) return;
  *link = src->next;
  src->next = nullptr;
  delete src;
}

KvCommonImage::KvCommonImage(const char* name) : KvImage(name) {}

KvCommonImage::KvCommonImage(const char* name, int width, int height)
    : KvImage(name, width, height) {}

KvCommonImage::KvCommonImage(Url* source) : KvImage(source) {}

KvCommonImage::~KvCommonImage() = default;

String KvCommonImage::SourcePath(const char* styleName) const {
  if (!imageName) return String();
  if (fullPath == 1) return String(imageName);
  return ImagePath(kCommonImageDir, styleName, imageName);
}

KvSpacer::KvSpacer(int width, int height) : KvCommonImage("mspacer") {
  addAttribute(kAttrWidth, width != 0 ? width : 1);
  addAttribute(kAttrHeight, height != 0 ? height : 1);
}

KvSpacer::~KvSpacer() = default;
