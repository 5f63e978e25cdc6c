// The look of one frame set: whether it splits into rows or columns, and
// the size list of its frames.
#pragma once

class KvFrameSetStyle {
 public:
  // Rows, no size list.
  KvFrameSetStyle();
  // rowsOrCols is the attribute number of "rows" (49) or "cols" (48);
  // dimensions (may be null) is copied.
  KvFrameSetStyle(int rowsOrCols, const char* dimensions);
  ~KvFrameSetStyle();
  KvFrameSetStyle(const KvFrameSetStyle&) = delete;
  KvFrameSetStyle& operator=(const KvFrameSetStyle&) = delete;

  void SetRowOrCol(int rowsOrCols);
  // Replaces the size list with a copy of dimensions (may be null).
  void SetDimensions(const char* dimensions);

  int GetRowOrCol() const { return rowsOrCols; }
  // Owned by this style; null when unset.
  const char* GetDimensions() const { return dimensions; }

 private:
  int rowsOrCols;
  char* dimensions;
};
