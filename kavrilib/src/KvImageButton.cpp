// Image buttons: links drawn as an image whose alternative text is also the
// status-line message.
#include "KvImageButton.h"

#include "KvImage.h"

namespace {

void FinishButton(A* button, const char* text, KvImage* image) {
  button->addStatusMessage(text);
  image->addAttribute(kAttrAlt, text ? text : "");
  button->addObject(image);
  button->StartOnNewLine(0);
  button->EndOnNewLine(0);
}

}  // namespace

KvImageButtonBase::KvImageButtonBase() : A() {}

KvImageButtonBase::~KvImageButtonBase() = default;

void KvImageButtonBase::SetTarget(const char* target) {
  addAttribute(kAttrTarget, target);
}

void KvImageButtonBase::SetAlignment(const char* alignment) {
  addAttribute(kAttrAlign, alignment);
}

KvImageButton::KvImageButton(const char* url, const char* image,
                             const char* text) {
  addAttribute(kAttrHref, url);
  FinishButton(this, text, new KvImage(image));
}

KvImageButton::KvImageButton(HTMLObject* url, const char* image,
                             const char* text) {
  addAttribute(kAttrHref, url);
  FinishButton(this, text, new KvImage(image));
}

KvImageButton::KvImageButton(HTMLObject* url, const char* image,
                             const char* text, KvBoolean fullPath) {
  addAttribute(kAttrHref, url);
  KvImage* picture = new KvImage(image);
  if (fullPath == 1) picture->GifSrc();
  FinishButton(this, text, picture);
}

KvImageButton::~KvImageButton() = default;

KvCommonImageButton::KvCommonImageButton(const char* url, const char* image,
                                         const char* text) {
  addAttribute(kAttrHref, url);
  FinishButton(this, text, new KvCommonImage(image));
}

KvCommonImageButton::KvCommonImageButton(HTMLObject* url, const char* image,
                                         const char* text) {
  addAttribute(kAttrHref, url);
  FinishButton(this, text, new KvCommonImage(image));
}

KvCommonImageButton::~KvCommonImageButton() = default;
