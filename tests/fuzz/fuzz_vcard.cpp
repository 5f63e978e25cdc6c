// vCards. The first byte picks the form: single lines through the strict
// line parser and the value formatters; whole files through the strict
// reader (what it reads must print and read back); or whole files as other
// programs write them through the importer, whose output the strict reader
// must then accept, with a UID in every card.
#include <unistd.h>

#include <string>

#include "FuzzSupport.h"
#include "versitlib.h"

namespace {

// A file of this process that VersitFile opens by path.
const std::string& ScratchPath() {
  static const std::string path = [] {
    char name[] = "/tmp/fuzzvcardXXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) abort();
    close(fd);
    atexit([] { unlink(ScratchPath().c_str()); });
    return std::string(name);
  }();
  return path;
}

void WriteScratch(const std::string& text) {
  fuzz::FilePtr fp(fopen(ScratchPath().c_str(), "wb"));
  FUZZ_CHECK(fp != nullptr);
  FUZZ_CHECK(fwrite(text.data(), 1, text.size(), fp.get()) == text.size());
}

void Free(char* text) { free(text); }

void Lines(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    std::string line = text.substr(at, end == std::string::npos ? end : end - at + 1);
    at = end == std::string::npos ? text.size() : end + 1;
    char* name = nullptr;
    char* value = nullptr;
    if (!fuzz::Catch([&] { BreakLine(line.c_str(), &name, &value); })) continue;
    std::unique_ptr<char, decltype(&Free)> ownName(name, &Free), ownValue(value, &Free);
    std::unique_ptr<VCardEntry> entry;
    if (!fuzz::Catch([&] { entry.reset(VCardEntry::ParsePropertyName(name)); })) continue;
    FUZZ_CHECK(entry != nullptr);
    entry->SetPropValue(value);
    for (auto format : {&VCardEntry::GetValue, &VCardEntry::GetDisplayRep, &VCardEntry::FormatN,
                        &VCardEntry::FormatAdr, &VCardEntry::FormatOrg,
                        &VCardEntry::GetNameAndSubTypes}) {
      fuzz::Catch([&] { free(((*entry).*format)()); });
    }
    if (char** slots = entry->FormatNArray()) {
      for (int i = 0; i < 5; ++i) free(slots[i]);
      free(slots);
    }
  }
}

// The cards of the scratch file read strictly; -1 when reading failed.
// With out, each card is printed there. With needUid, every card must have
// a UID.
int ReadStrict(bool raw, FILE* out, bool* printed, bool needUid = false) {
  VersitFile file;
  if (!file.Open(ScratchPath().c_str(), raw)) abort();
  int cards = 0;
  bool ok = fuzz::Catch([&] {
    while (VCard* raw_card = file.GetVCardFromFile()) {
      std::unique_ptr<VCard> card(raw_card);
      ++cards;
      if (needUid) {
        VCardEntry* uid = card->GetEntry(kVCardUID);
        FUZZ_CHECK(uid && uid->value && *uid->value);
      }
      if (out && !fuzz::Catch([&] { card->Print(out); })) *printed = false;
      fuzz::Catch([&] { free(card->Print(true)); });
    }
  });
  file.Close();
  return ok ? cards : -1;
}

void Strict(const std::string& text, bool raw) {
  WriteScratch(text);
  fuzz::Output out;
  bool printed = true;
  int cards = ReadStrict(raw, out.get(), &printed);
  if (cards < 0 || !printed || !raw) return;
  WriteScratch(out.Text());
  FUZZ_CHECK(ReadStrict(raw, nullptr, nullptr) == cards);
}

void Lenient(const std::string& text) {
  fuzz::Input in(text.data(), text.size());
  fuzz::Output out;
  VCardImporter importer;
  if (!fuzz::Catch([&] { importer.Convert(in.get(), out.get()); })) return;
  for (const std::string& line : importer.ReportLines()) FUZZ_CHECK(!line.empty());
  WriteScratch(out.Text());
  FUZZ_CHECK(ReadStrict(true, nullptr, nullptr, true) == importer.CardsLoaded());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0: Lines(text); break;
    case 1: Strict(text, true); break;
    case 2: Strict(text, false); break;
    case 3: Lenient(text); break;
  }
  return 0;
}
