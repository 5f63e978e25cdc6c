// The library work the benchmark script times against its anchors, one task
// per run, so that the script can take each run's CPU time and peak memory
// from the operating system:
//
//   bench_tasks parse FILE         reads every card of a vCard file
//   bench_tasks index FILE INDEX   writes the UID index of a vCard file
//
// Prints the number of cards to standard output; errors go to standard error
// with exit status 1.
#include <cstdio>
#include <cstring>
#include <memory>

#include "versitlib.h"

namespace {

void Report(void* cookie, CallbackProgress* progress) {
  if (progress->count >= 0) *static_cast<int*>(cookie) = progress->count;
}

int Usage() {
  fprintf(stderr, "usage: bench_tasks parse FILE | index FILE INDEX\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  try {
    VersitFile file;
    if (!file.Open(argv[2], false)) {
      fprintf(stderr, "bench_tasks: cannot open %s\n", argv[2]);
      return 1;
    }
    if (strcmp(argv[1], "parse") == 0 && argc == 3) {
      long cards = 0;
      while (VCard* card = file.GetVCardFromFile()) {
        ++cards;
        delete card;
      }
      printf("%ld\n", cards);
      return 0;
    }
    if (strcmp(argv[1], "index") == 0 && argc == 4) {
      int cards = 0;
      file.IndexFile(argv[3], Report, &cards);
      printf("%d\n", cards);
      return 0;
    }
    return Usage();
  } catch (KvError* e) {
    std::unique_ptr<KvError> error(e);
    for (ValListItem* item = error->GetLines()->GetFirst(); item; item = item->next)
      fprintf(stderr, "bench_tasks: %s\n", item->value ? item->value : "");
    return 1;
  }
}
