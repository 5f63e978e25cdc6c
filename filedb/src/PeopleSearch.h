// The file directory's search file (data/common/data.search), written beside
// the person data by indexing and swapped in with it under the data file's
// lock. One line per person, sorted by display name:
//   uid TAB display name TAB e-mail TAB keys
// where keys are the case-folded uid, e-mail, whole name and each further
// word of the name, each preceded by the unit separator (0x1F). A prefix
// search is then one substring look-up per line, without reading any card.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "versitlib.h"

namespace filedb {

struct SearchEntry {
  std::string uid;
  std::string name;
  std::string email;
};

// The display name of a card: its FN, else the parts of its N joined by
// single blanks; "" when it has neither.
std::string CardDisplayName(VCard* card);
// The card's e-mail address: the first EMAIL typed INTERNET, else the first
// EMAIL; "".
std::string CardEmail(VCard* card);
// The entry a card gives the search file (uid from its UID entry).
SearchEntry SearchEntryOf(VCard* card);

// text in lower case, letters beyond ASCII included (UTF-8; bytes that are
// not UTF-8 stay as they are).
std::string FoldCase(const std::string& text);

// The key the search file is sorted by (the folded name, then the folded
// uid) and the line an entry becomes in it.
std::string SearchSortKey(const SearchEntry& entry);
std::string SearchLine(const SearchEntry& entry);

// Sorts entries by name and writes them in the search file's form. Throws
// KvError* when a write fails.
void WriteSearchFile(FILE* fp, std::vector<SearchEntry>* entries);

}  // namespace filedb
