// Delimited import files (comma, semicolon, tab or bar), read record by
// record as the import pages and the conversion read them.
#include <string>
#include <vector>

#include "DelimitedReader.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char kDelimiters[] = {',', ';', '\t', '|'};
  fuzz::Input in(data + 1, size - 1);
  DelimitedReader reader(in.get(), kDelimiters[data[0] % 4]);
  std::vector<std::string> fields;
  std::string unusable;
  int line = 0, previous = 0;
  size_t records = 0;
  while (reader.Next(&fields, &line, &unusable)) {
    // Every record takes at least one byte, and records come in order.
    FUZZ_CHECK(++records <= size);
    FUZZ_CHECK(line >= previous && line >= 1);
    previous = line;
    FUZZ_CHECK(!fields.empty() || !unusable.empty());
    unusable.clear();
  }
  return 0;
}
