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

TEST(VCardImporterTest, ExportersCardsReadBackFieldByField) {
  const std::string kPhoto =
      "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0a"
      "HBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/wAALCAABAAEBAREA/8QAFAABAAAAAAAA"
      "AAAAAAAAAAAACf/EABQQAQAAAAAAAAAAAAAAAAAAAAD/2gAIAQEAAD8AVN//2Q==";
  struct Case {
    const char* file;
    Strings lines;
    Strings report;
  } cases[] = {
      {"phone21.vcf",  // 2.1, QP with a soft break, CHARSET UTF-8 and ISO-8859-1
       {"UID:jose.lopez", "N:López;José;;;", "FN:José López", "TEL;CELL;PREF:+34 600 111 222",
        "TEL;WORK:+34 91 555 0100", "EMAIL;HOME:jose.lopez@example.es",
        "ADR;WORK:;;Calle Mayor 1, Planta 2;Madrid;;28013;España", "TITLE:Jefe de Diseño",
        "NOTE:Line one Line two", "--"},
       {"1 card loaded", "Properties dropped: X-ANDROID-CUSTOM (1)", "UIDs made: 1"}},
      {"phone30.vcf",  // 3.0, grouped and folded lines, a photo
       {"UID:chioma.okafor", "N:Okafor;Chioma;;;", "FN:Chioma Okafor",
        "ORG:Northwind Traders;Logistics, Inbound;", "TITLE:Head of Logistics",
        "EMAIL;INTERNET;PREF:chioma.okafor@northwind.example",
        "TEL;CELL;VOICE;PREF:+44 7700 900123",
        "ADR;WORK;PREF:;;12 Harbour Road, Unit 4;Bristol;;BS1 5TT;United Kingdom",
        "NOTE:A long note that the phone folded because it was longer than seventy-five "
        "octets, as RFC 2425 asks.",
        "PHOTO;ENCODING=BASE64;JPEG:" + kPhoto, "--"},
       {"1 card loaded", "Properties dropped: PRODID (1), X-ABADR (1), X-ABLABEL (1)",
        "UIDs made: 1"}},
      {"mail21.vcf",  // 2.1 with CRLF and unlabelled windows-1252 bytes
       {"UID:anna.mueller", "N:Müller;Anna", "FN:Anna Müller", "ORG:Contoso GmbH;Vertrieb",
        "TITLE:Vertriebsleiterin", "TEL;WORK;VOICE:+49 30 1234567", "TEL;WORK;FAX:+49 30 1234568",
        "ADR;WORK;PREF:;;Friedrichstraße 10;Berlin;;10117;Deutschland",
        "LABEL;WORK;PREF:Friedrichstraße 10, Berlin 10117", "URL;WORK:http://www.contoso.example",
        "EMAIL;PREF;INTERNET:anna.mueller@contoso.example", "REV:20240115T101500Z", "--"},
       {"1 card loaded", "UIDs made: 1"}},
      {"book30.vcf",  // 3.0 with comma lists of types
       {"FN:Li Wei", "N:Li;Wei;;Dr.;", "TEL;WORK;VOICE:+86 10 5555 0101",
        "TEL;HOME;FAX:+86 10 5555 0102", "EMAIL;INTERNET;WORK:wei.li@example.cn",
        "BDAY:1980-04-15", "UID:li-wei-0001", "--"},
       {"1 card loaded", "Properties dropped: CATEGORIES (1), NICKNAME (1)"}},
      {"v40.vcf",  // 4.0: quoted parameters, tel: and urn:uuid: values, a photo URI
       {"FN:Amara Nwosu", "N:Nwosu;Amara;;;", "TEL;VOICE;WORK;PREF:+1-555-555-0199",
        "EMAIL;WORK:amara.nwosu@example.org",
        "ADR;WORK:;;100 Main St;Springfield;IL;62701;USA",
        "UID:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1",
        "PHOTO;VALUE=URL:https://photos.example.org/amara.jpg", "--"},
       {"1 card loaded", "Properties dropped: GENDER (1), KIND (1), LANG (1)"}},
      {"bom.vcf",  // a byte-order mark; UIDs from the e-mail, else the name
       {"UID:sven.berg", "FN:Sven Berg", "N:Berg;Sven;;;", "EMAIL:sven.berg@example.se", "--",
        "UID:ingrid.holm", "FN:Ingrid Holm", "N:Holm;Ingrid;;;", "TITLE:Designer", "--"},
       {"2 cards loaded", "UIDs made: 2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    VCardImporter importer;
    std::string strict = Convert(DataPath(std::string("exporters/") + c.file), &importer);
    EXPECT_EQ(StrictLines(strict), c.lines) << strict;
    EXPECT_EQ(importer.ReportLines(), c.report);
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
            (Strings{"UID:ann-2", "EMAIL:Ann@x", "--", "UID:ann-3",
                                      "EMAIL:ann@y", "--", "UID:ann", "--", "UID:person", "--"}));

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
