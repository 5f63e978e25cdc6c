// Layout tables: objects placed into a fixed number of columns, with spacer
// cells between the columns whose first-row content fixes the gap.
#include "KvTable.h"

#include <cstdlib>
#include <string>

#include "ToolkitText.h"

using kavri_toolkit::DupOrNull;
using kavri_toolkit::ReplaceCopy;

namespace {
const int kMaxGap = 20;
// The pages are UTF-8: a lone Latin-1 byte 160 would show as a replacement
// character.
const char kNoBreakSpace[] = "\xC2\xA0";
}  // namespace

KvTable::KvTable(int columnCount, KvBoolean spaced, int gapWidth)
    : Table(),
      wrap(1),
      vAlign(DupOrNull("top")),
      hAlign(DupOrNull("left")),
      columns(columnCount > 0 ? columnCount : 1),
      gap(0),
      cellsInRow(0),
      currentRow(nullptr),
      lastCell(nullptr),
      firstRow(1) {
  if (spaced == 1) {
    gap = gapWidth < 1 ? 1 : (gapWidth > kMaxGap ? kMaxGap : gapWidth);
  }
  HTMLObject::addAttribute(kAttrCellspacing, 0);
  HTMLObject::addAttribute(kAttrCellpadding, 0);
}

KvTable::~KvTable() {
  free(vAlign);
  free(hAlign);
}

void KvTable::SetVerticalAlignment(const char* alignment) {
  ReplaceCopy(&vAlign, alignment);
}

void KvTable::SetHorizontalAlignment(const char* alignment) {
  ReplaceCopy(&hAlign, alignment);
}

void KvTable::SetWrap(KvBoolean on) { wrap = on; }

void KvTable::AddCellAttributes(TableData* cell) {
  cell->addAttribute(kAttrValign, vAlign);
  cell->addAttribute(kAttrAlign, hAlign);
  if (wrap == 0) cell->addAttribute(kAttrNowrap, "true");
}

void KvTable::EndRow() {
  currentRow = nullptr;
  cellsInRow = 0;
  lastCell = nullptr;
}

HTMLObject* KvTable::PlaceCell(TableData* cell) {
  if (!currentRow) {
    currentRow = new TableRow();
    Table::addObject(currentRow);
  }
  AddCellAttributes(cell);
  currentRow->addObject(cell);
  cellsInRow++;

  TableData* spacer = nullptr;
  if (gap != 0 && cellsInRow < columns) {
    spacer = new TableData();
    if (firstRow == 1) {
      std::string text;
      for (int i = 0; i < gap; ++i) text += kNoBreakSpace;
      spacer->addData(text.c_str());
    }
    currentRow->addObject(spacer);
  }

  if (cellsInRow == columns) {
    EndRow();
    firstRow = 0;
  } else {
    lastCell = spacer ? spacer : cell;
  }
  return cell;
}

// An object that already belongs elsewhere stays there; its cell is empty.
HTMLObject* KvTable::addObject(HTMLObject* object) {
  return PlaceCell(new TableData(object));
}

HTMLObject* KvTable::addObject(const char* text, KvBoolean activateURLs) {
  TableData* cell = new TableData();
  cell->addObject(text, activateURLs);
  return PlaceCell(cell);
}

HTMLObject* KvTable::addObject(int number) {
  return addObject(std::to_string(number).c_str(), 0);
}

void KvTable::AddRow(HTMLObject* object) {
  TableRow* row = new TableRow();
  Table::addObject(row);
  TableData* cell = object ? new TableData(object) : new TableData();
  if (wrap == 0) cell->addAttribute(kAttrNowrap, "true");
  cell->addAttribute(kAttrColspan, gap != 0 ? 2 * columns - 1 : columns);
  row->addObject(cell);
  EndRow();
}

void KvTable::CloseRow() {
  if (currentRow && lastCell) {
    int missing = columns - cellsInRow;
    lastCell->addAttribute(kAttrColspan, gap != 0 ? 2 * missing - 1 : missing);
  }
  EndRow();
}

void KvTable::AddHH(HTMLObject* a, HTMLObject* b) {
  SetVerticalAlignment("center");
  addObject(a);
  addObject(b);
}

void KvTable::AddHTopH(HTMLObject* a, HTMLObject* b) {
  SetVerticalAlignment("top");
  addObject(a);
  addObject(b);
}

void KvTable::AddHC(HTMLObject* a, const char* b) {
  SetVerticalAlignment("center");
  addObject(a);
  addObject(b, 0);
}

void KvTable::AddCC(const char* a, const char* b) {
  SetVerticalAlignment("center");
  addObject(a, 0);
  addObject(b, 0);
}
