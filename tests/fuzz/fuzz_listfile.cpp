// List files as the stores keep them: the value list and the name/value list
// forms, with and without their header line. A list that was read must write
// out in a form that reads back to the same text again.
#include "FuzzSupport.h"

namespace {

template <typename List>
std::string Written(List* list) {
  fuzz::Output out;
  if (!fuzz::Catch([&] { list->Write(out.get()); })) return std::string();
  return out.Text();
}

template <typename List>
void ReadAndRewrite(const uint8_t* data, size_t size, bool header) {
  List list;
  fuzz::Input in(data, size);
  if (!fuzz::Catch([&] { list.Read(in.get(), header); })) return;
  std::string first = Written(&list);
  if (first.empty()) return;  // a value the file form cannot hold
  List again;
  fuzz::Input back(first.data(), first.size());
  FUZZ_CHECK(fuzz::Catch([&] { again.Read(back.get(), true); }));
  FUZZ_CHECK(again.count == list.count);
  FUZZ_CHECK(Written(&again) == first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  (data[0] & 1 ? ReadAndRewrite<ValNameList> : ReadAndRewrite<ValList>)(data + 1, size - 1, !(data[0] & 2));
  return 0;
}
