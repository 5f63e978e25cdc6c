// A navigation bar of buttons and images laid out in rows that do not wrap.
#pragma once

#include "KvImage.h"
#include "KvImageButton.h"
#include "KvPage.h"

class KvTopNavbar : public KvPage {
 public:
  KvTopNavbar(KvPageStyle* style, KvBoolean startOnNewLine);
  ~KvTopNavbar() override;

  // Each adds to the current row and takes ownership.
  void AddElement(KvImageButtonBase* button);
  void AddElement(KvImage* image);
  // Ends the current row with a small vertical gap and starts a new one.
  void NewRow();

 private:
  NoBR* currentRow;  // owned by the body
};
