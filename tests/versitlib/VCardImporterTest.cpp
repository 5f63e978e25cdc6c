// Tests of lenient vCard loading: cards in the styles of phones, mail
// programs and address books (2.1, 3.0, 4.0) become the strict form, which
// the strict reader then reads field by field; refusals name the line.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "VersitTestUtil.h"

namespace {

// The strict text importer makes of the file at path.
std::string Convert(const std::string& path, VCardImporter* importer) {
  TempDir tmp;
  std::string out = tmp.Path("strict.vcf");
  {
    std::unique_ptr<FILE, int (*)(FILE*)> in(fopen(path.c_str(), "rb"), fclose);
    std::unique_ptr<FILE, int (*)(FILE*)> fp(fopen(out.c_str(), "w"), fclose);
    importer->Convert(in.get(), fp.get());
  }
  return testsupport::ReadAll(out);
}

// Every property line of every card, as the strict reader reads them back.
Strings StrictLines(const std::string& text) {
  TempDir tmp;
  VersitFile file;
  EXPECT_TRUE(file.Open(tmp.Write("s.vcf", text).c_str(), true));
  Strings lines;
  while (VCard* card = file.GetVCardFromFile()) {
    for (VCardEntry* e = card->firstEntry; e; e = e->next) {
      lines.push_back(Take(e->GetNameAndSubTypes()) + ":" + (e->value ? e->value : ""));
    }
    lines.push_back("--");
    delete card;
  }
  return lines;
}

}  // namespace

// Each exporter's file beside its golden: the fields the strict reader reads
// back from the converted text, "--" after each card, "==", then the report.
TEST(VCardImporterTest, ExportersCardsReadBackFieldByField) {
  // 2.1 with quoted-printable soft breaks and two charsets; 3.0 grouped and
  // folded with a photo; 2.1 with CRLF and unlabelled windows-1252 bytes; 3.0
  // with comma lists of types; 4.0 with quoted parameters, tel: and urn:uuid:
  // values and a photo URI; a byte-order mark with UIDs made from the e-mail
  // or the name.
  for (const char* name : {"phone21", "phone30", "mail21", "book30", "v40", "bom"}) {
    SCOPED_TRACE(name);
    VCardImporter importer;
    std::string base = DataPath(std::string("exporters/") + name);
    std::string strict = Convert(base + ".vcf", &importer);
    std::string got;
    for (const std::string& line : StrictLines(strict)) got += line + "\n";
    got += "==\n";
    for (const std::string& line : importer.ReportLines()) got += line + "\n";
    EXPECT_EQ(got, testsupport::ReadAll(base + ".expected")) << strict;
    // The strict form is a fixed point: loading it again changes nothing.
    VCardImporter again;
    TempDir tmp;
    EXPECT_EQ(Convert(tmp.Write("again.vcf", strict), &again), strict);
  }
}

TEST(VCardImporterTest, MadeUidsAreUniqueAndRefusalsNameTheSourceLine) {
  TempDir tmp;
  VCardImporter importer;
  // The second card's e-mail gives "ann", which the third card already has.
  std::string strict = Convert(
      tmp.Write("u.vcf",
                "BEGIN:VCARD\nEMAIL:Ann@x\nEND:VCARD\nBEGIN:VCARD\nEMAIL:ann@y\nEND:VCARD\n"
                "BEGIN:VCARD\nUID:ann\nEND:VCARD\nBEGIN:VCARD\nEND:VCARD\n"),
      &importer);
  EXPECT_EQ(StrictLines(strict),
            (Strings{"UID:ann-2", "EMAIL:Ann@x", "--", "UID:ann-3", "EMAIL:ann@y", "--", "UID:ann",
                     "--", "UID:person", "--"}));

  // The directory's own stored form goes through unchanged.
  const std::string stored =
      "BEGIN:VCARD\nUID:u1\nPHOTO;VALUE=URL;X-KAVRI-TYPE-2:http://x/y.gif\n"
      "X-KAVRI-LABEL-3;WORK:Room 4\nADR;WORK:;;Main St 1;Springfield;;12345;US\n"
      "NOTE:a\\nb \\; c\nX-KAVRI-MGR-UID:boss\nEND:VCARD\n";
  VCardImporter same;
  EXPECT_EQ(Convert(tmp.Write("s.vcf", stored), &same), stored);
  // A label number the strict reader cannot hold is dropped, not passed on.
  VCardImporter big;
  EXPECT_EQ(StrictLines(Convert(
                tmp.Write("b.vcf", "BEGIN:VCARD\nUID:b\nX-KAVRI-LABEL-99999999999:z\nEND:VCARD\n"),
                &big)),
            (Strings{"UID:b", "--"}));

  const std::string kAtLine = "Error reading versit card at line number ";
  struct Case {
    std::string text;
    Strings lines;
  } cases[] = {
      {"BEGIN:VCARD\r\nN:A;B\r\n\r\nFN B A\r\nEND:VCARD\r\n",
       {kAtLine + "4", "No ':' character found on line"}},
      {"BEGIN:VCARD\nNOTE:folded\n more\nEND:VCARD\n\ntrailer\n",
       {kAtLine + "6", "Text outside BEGIN and END in versit card"}},
      {"\n\nBEGIN:VCARD\nFN:cut off\n", {kAtLine + "4", "BEGIN without END in versit card"}},
  };
  for (const Case& c : cases) {
    VCardImporter refused;
    EXPECT_EQ(UserLinesOf([&] { Convert(tmp.Write("bad.vcf", c.text), &refused); }), c.lines)
        << c.text;
  }
}
