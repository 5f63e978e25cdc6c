// Navigation bars: a centred column of buttons, and rows of buttons that do
// not wrap.
#include "KvAppNavbar.h"
#include "KvTopNavbar.h"

namespace {

Br* FlatBr() {
  Br* br = new Br();
  br->StartOnNewLine(0);
  br->EndOnNewLine(0);
  return br;
}

NoBR* MakeRow(KvBoolean startOnNewLine) {
  NoBR* row = new NoBR();
  row->StartOnNewLine(startOnNewLine);
  row->EndOnNewLine(0);
  return row;
}

}  // namespace

KvAppNavbar::KvAppNavbar(KvPageStyle* style) : KvPage(style), table(nullptr) {}

KvAppNavbar::~KvAppNavbar() = default;

void KvAppNavbar::AddElement(KvImageButtonBase* button) {
  Center* centre = new Center(static_cast<HTMLObject*>(button));
  centre->addObject(FlatBr());
  centre->addObject(FlatBr());
  body->addObject(centre);
}

void KvAppNavbar::AddElementToTable(KvImageButtonBase* button) {
  if (!table) {
    table = new KvTable(1, 1, 4);
    body->addObject(new Center(static_cast<HTMLObject*>(table)));
    table->HTMLObject::addAttribute(kAttrCellpadding, "0");
    table->HTMLObject::addAttribute(kAttrCellspacing, "0");
  }
  table->addObject(button);
}

KvTopNavbar::KvTopNavbar(KvPageStyle* style, KvBoolean startOnNewLine)
    : KvPage(style), currentRow(MakeRow(startOnNewLine)) {
  body->addObject(currentRow);
}

KvTopNavbar::~KvTopNavbar() = default;

void KvTopNavbar::AddElement(KvImageButtonBase* button) { currentRow->addObject(button); }

void KvTopNavbar::AddElement(KvImage* image) { currentRow->addObject(image); }

void KvTopNavbar::NewRow() {
  Br* before = new Br();
  before->StartOnNewLine(1);
  before->EndOnNewLine(0);
  body->addObject(before);

  KvCommonImage* gap = new KvCommonImage("mspacer");
  gap->addAttribute(kAttrWidth, "1");
  gap->addAttribute(kAttrHeight, "4");
  body->addObject(gap);

  Br* after = new Br();
  after->StartOnNewLine(0);
  after->EndOnNewLine(1);
  body->addObject(after);

  currentRow = MakeRow(0);
  body->addObject(currentRow);
}
