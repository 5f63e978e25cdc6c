// vCards. The first byte picks the form: single lines through the strict
// line parser and the value formatters; whole files through the strict
// reader (what it reads must print and read back, and the indexing scanner
// must agree with it); or whole files as other
// programs write them through the importer, whose output the strict reader
// must then accept, with a UID in every card.
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "FuzzSupport.h"
#include "versitlib.h"

namespace {

// A file of this process that VersitFile opens by path.
const std::string& ScratchPath() {
  static const std::string path = [] {
    char name[] = "/tmp/fuzzvcardXXXXXX";
    FUZZ_CHECK(close(mkstemp(name)) == 0);
    atexit([] { unlink(ScratchPath().c_str()); });
    return std::string(name);
  }();
  return path;
}

void WriteScratch(const std::string& text) {
  FUZZ_CHECK(std::ofstream(ScratchPath(), std::ios::binary).write(text.data(), text.size()).good());
}

void Lines(const std::string& text) {
  for (size_t at = 0, end; at < text.size(); at = end) {
    end = std::min(text.find('\n', at), text.size() - 1) + 1;
    const std::string line = text.substr(at, end - at);
    char *name = nullptr, *value = nullptr;
    if (!fuzz::Catch([&] { BreakLine(line.c_str(), &name, &value); })) continue;
    std::unique_ptr<char, decltype(&free)> ownName(name, &free), ownValue(value, &free);
    std::unique_ptr<VCardEntry> entry;
    if (!fuzz::Catch([&] { entry.reset(VCardEntry::ParsePropertyName(name)); })) continue;
    FUZZ_CHECK(entry != nullptr);
    entry->SetPropValue(value);
    for (auto format : {&VCardEntry::GetValue, &VCardEntry::GetDisplayRep, &VCardEntry::FormatN,
                        &VCardEntry::FormatAdr, &VCardEntry::FormatOrg, &VCardEntry::GetNameAndSubTypes}) {
      fuzz::Catch([&] { free(((*entry).*format)()); });
    }
    if (char** slots = entry->FormatNArray()) {
      for (int i = 0; i < 5; ++i) free(slots[i]);
      free(slots);
    }
  }
}

// The cards of the scratch file read strictly; -1 when reading failed. With
// out, each card is printed there. With needUid, every card must have a UID.
int ReadStrict(bool raw, FILE* out, bool* printed, bool needUid = false) {
  VersitFile file;
  FUZZ_CHECK(file.Open(ScratchPath().c_str(), raw));
  int cards = 0;
  bool ok = fuzz::Catch([&] {
    while (VCard* raw_card = file.GetVCardFromFile()) {
      std::unique_ptr<VCard> card(raw_card);
      ++cards;
      const VCardEntry* uid = card->GetEntry(kVCardUID);
      FUZZ_CHECK(!needUid || (uid && uid->value && *uid->value));
      if (out && !fuzz::Catch([&] { card->Print(out); })) *printed = false;
      fuzz::Catch([&] { free(card->Print(true)); });
    }
  });
  file.Close();
  return ok ? cards : -1;
}

// The scanner indexing uses reads ahead in blocks of its own: it must find
// the same cards, values, offsets, line numbers and failures as the full
// reader.
void SameAsScanner(bool raw) {
  static const int keep[] = {kVCardUID, kVCardOrg, -1};
  VersitFile full;
  VersitFile scanned;
  FUZZ_CHECK(full.Open(ScratchPath().c_str(), raw));
  FUZZ_CHECK(scanned.Open(ScratchPath().c_str(), raw));
  for (;;) {
    std::unique_ptr<VCard> expected;
    std::unique_ptr<VCard> got;
    bool read = fuzz::Catch([&] { expected.reset(full.GetVCardFromFile()); });
    FUZZ_CHECK(fuzz::Catch([&] { got.reset(scanned.ScanVCardFromFile(keep)); }) == read);
    if (!read || !expected) {
      FUZZ_CHECK(!got);
      return;
    }
    FUZZ_CHECK(got != nullptr);
    for (int id : {kVCardUID, kVCardOrg}) {
      const VCardEntry* a = expected->GetEntry(id);
      const VCardEntry* b = got->GetEntry(id);
      FUZZ_CHECK((a == nullptr) == (b == nullptr));
      if (a == nullptr) continue;
      FUZZ_CHECK(std::string(a->value ? a->value : "-") == std::string(b->value ? b->value : "-"));
    }
    FUZZ_CHECK(full.GetVCardFileOffset() == scanned.GetVCardFileOffset());
    FUZZ_CHECK(full.GetLineNumber() == scanned.GetLineNumber());
  }
}

void Strict(const std::string& text, bool raw) {
  WriteScratch(text);
  SameAsScanner(raw);
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
    case 0: return Lines(text), 0;
    case 1:
    case 2: return Strict(text, data[0] % 4 == 1), 0;
    default: return Lenient(text), 0;
  }
}
