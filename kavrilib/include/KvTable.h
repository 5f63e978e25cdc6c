// A layout table that places objects into a fixed number of columns, one
// object per cell, optionally with spacer cells of a fixed width between the
// columns. Rows are started and finished by the table itself.
#pragma once

#include "htmllib.h"

class KvTable : public Table {
 public:
  // columns below 1 count as 1. With spaced 1 the gap is clamped to 1..20;
  // otherwise there are no spacer cells.
  KvTable(int columns, KvBoolean spaced, int gap);
  ~KvTable() override;

  // Each places its object in the next cell and returns that cell (owned by
  // the table). An object already attached elsewhere stays where it is and
  // its cell is left empty.
  HTMLObject* addObject(HTMLObject* object) override;
  HTMLObject* addObject(const char* text, KvBoolean activateURLs) override;
  HTMLObject* addObject(int number) override;

  // Alignments and wrapping used for the cells added from now on.
  void SetVerticalAlignment(const char* alignment);
  void SetHorizontalAlignment(const char* alignment);
  // With 0 every cell gets "nowrap".
  void SetWrap(KvBoolean wrap);

  // A row of its own holding one cell spanning the whole width; the next
  // object starts a new row.
  void AddRow(HTMLObject* object);
  // Stretches the last cell of an unfinished row over the missing columns
  // and ends the row.
  void CloseRow();
  // Two cells, vertically centred (AddHTopH: aligned at the top); the
  // alignment stays for later cells.
  void AddHH(HTMLObject* a, HTMLObject* b);
  void AddHTopH(HTMLObject* a, HTMLObject* b);
  void AddHC(HTMLObject* a, const char* b);
  void AddCC(const char* a, const char* b);

  int GetColumns() const { return columns; }
  int GetGap() const { return gap; }

 protected:
  // Adds the content cell and, where due, the spacer; ends a full row.
  HTMLObject* PlaceCell(TableData* cell);
  void AddCellAttributes(TableData* cell);
  void EndRow();

  KvBoolean wrap;
  char* vAlign;
  char* hAlign;
  int columns;
  int gap;
  int cellsInRow;
  TableRow* currentRow;  // owned by the table's tree; null between rows
  TableData* lastCell;   // owned by the current row
  KvBoolean firstRow;
};
