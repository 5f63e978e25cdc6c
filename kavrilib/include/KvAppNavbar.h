// A navigation bar of image buttons stacked in one centred column.
#pragma once

#include "KvImageButton.h"
#include "KvPage.h"
#include "KvTable.h"

class KvAppNavbar : public KvPage {
 public:
  explicit KvAppNavbar(KvPageStyle* style);
  ~KvAppNavbar() override;

  // Each takes ownership of the button. AddElement centres it with two
  // line breaks after it; AddElementToTable puts it in the next row of a
  // one-column table made on first use.
  void AddElement(KvImageButtonBase* button);
  void AddElementToTable(KvImageButtonBase* button);

 private:
  KvTable* table;  // owned by the body; null until first needed
};
