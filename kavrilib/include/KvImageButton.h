// Links drawn as an image: the image's alternative text is also shown in
// the status line while the pointer is over it.
#pragma once

#include "htmllib.h"

class KvImageButtonBase : public A {
 public:
  KvImageButtonBase();
  ~KvImageButtonBase() override;

  // Adds "target" (the frame the link loads into).
  void SetTarget(const char* target);
  // Adds "align".
  void SetAlignment(const char* alignment);
};

class KvImageButton : public KvImageButtonBase {
 public:
  KvImageButton(const char* url, const char* image, const char* text);
  // The button takes ownership of url (a Url or a javascript: object).
  KvImageButton(HTMLObject* url, const char* image, const char* text);
  // With fullPath 1 the image name is the whole source path.
  KvImageButton(HTMLObject* url, const char* image, const char* text,
                KvBoolean fullPath);
  ~KvImageButton() override;
};

class KvCommonImageButton : public KvImageButtonBase {
 public:
  KvCommonImageButton(const char* url, const char* image, const char* text);
  KvCommonImageButton(HTMLObject* url, const char* image, const char* text);
  ~KvCommonImageButton() override;
};
