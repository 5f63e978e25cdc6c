// The mapping table between person entries and cards.
#include "PersonMapping.h"

#include <memory>

namespace ldapdb {
namespace {

enum Kind { kPlain, kName, kOrg, kAddress, kURI, kManager, kReports };

struct Row {
  const char* attr;   // lower case, as search results name it
  const char* field;  // the card field
  Kind kind;
  bool rule;          // access rules may name it
};

const Row kRows[] = {
    {"sn", "N", kName, true},
    {"givenname", nullptr, kName, true},
    {"cn", "FN", kPlain, true},
    {"title", "TITLE", kPlain, true},
    {"o", "ORG", kOrg, false},
    {"ou", nullptr, kOrg, true},
    {"telephonenumber", "TEL;WORK;VOICE", kPlain, true},
    {"facsimiletelephonenumber", "TEL;WORK;FAX", kPlain, true},
    {"mobile", "TEL;CELL", kPlain, true},
    {"homephone", "TEL;HOME;VOICE", kPlain, true},
    {"pager", "TEL;PAGER", kPlain, true},
    {"mail", "EMAIL;INTERNET", kPlain, true},
    {"postaladdress", "ADR;WORK", kAddress, true},
    {"labeleduri", "URL", kURI, true},
    {"description", "NOTE", kPlain, true},
    {"uid", "UID", kPlain, false},
    {"manager", "X-KAVRI-MGR-UID", kManager, true},
    {nullptr, "X-KAVRI-DIRECT-REPORT-UID", kReports, false},
    {"jpegphoto", nullptr, kPlain, true},
};

// The readable spelling of the attribute names for rules.
const char* const kRuleNames[] = {
    "sn",     "givenName", "cn",   "title",         "ou",         "telephoneNumber",
    "facsimileTelephoneNumber", "mobile", "homePhone", "pager", "mail",
    "postalAddress", "labeledURI", "description", "manager", "jpegPhoto", nullptr,
};

void Add(VCard* card, const char* field, const std::string& value) {
  std::unique_ptr<VCardEntry> entry(VCardEntry::ParsePropertyName(field));
  entry->SetPropValue(value.c_str());
  card->AddEntry(entry.release());
}

// ";" and "\" inside a part of a structured value are escaped.
std::string Part(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ';' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::string AddressValue(const std::string& postal) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (true) {
    std::string::size_type dollar = postal.find('$', start);
    lines.push_back(postal.substr(start, dollar == std::string::npos ? std::string::npos
                                                                     : dollar - start));
    if (dollar == std::string::npos) break;
    start = dollar + 1;
  }
  std::string out;
  if (lines.size() == 7) {
    for (size_t i = 0; i < lines.size(); ++i) out += (i ? ";" : "") + Part(lines[i]);
    return out;
  }
  // Free-form lines: the street part holds them, joined with ", ".
  std::string street;
  for (const std::string& l : lines) {
    if (l.empty()) continue;
    if (!street.empty()) street += ", ";
    street += l;
  }
  return ";;" + Part(street) + ";;;;";
}

}  // namespace

const std::vector<std::string>& CardAttributes() {
  static const std::vector<std::string> attrs = [] {
    std::vector<std::string> out;
    for (const Row& row : kRows) {
      if (row.attr && row.field) out.push_back(row.attr);
    }
    out.push_back("givenname");
    out.push_back("ou");
    return out;
  }();
  return attrs;
}

const std::vector<std::string>& RuleAttributes() {
  static const std::vector<std::string> names(std::begin(kRuleNames),
                                              std::end(kRuleNames) - 1);
  return names;
}

VCard* CardFromEntry(const Entry& entry, const std::string& managerUid,
                     const std::vector<std::string>& reportUids) {
  std::unique_ptr<VCard> card(new VCard());
  for (const Row& row : kRows) {
    if (row.field == nullptr) continue;
    switch (row.kind) {
      case kName: {
        std::string family = entry.First("sn"), given = entry.First("givenname");
        if (!family.empty() || !given.empty())
          Add(card.get(), row.field, Part(family) + ";" + Part(given) + ";;;");
        break;
      }
      case kOrg: {
        std::string org = entry.First("o"), unit = entry.First("ou");
        if (org.empty()) org = DNComponent(entry.dn, "o");
        if (!org.empty() || !unit.empty())
          Add(card.get(), row.field, Part(org) + (unit.empty() ? "" : ";" + Part(unit)));
        break;
      }
      case kPlain:
        if (row.kind == kPlain && std::string(row.attr) == "cn") {
          if (!entry.First("cn").empty()) Add(card.get(), row.field, entry.First("cn"));
          break;
        }
        for (const std::string& v : entry.All(row.attr)) Add(card.get(), row.field, v);
        break;
      case kAddress:
        for (const std::string& v : entry.All(row.attr))
          Add(card.get(), row.field, AddressValue(v));
        break;
      case kURI:
        for (const std::string& v : entry.All(row.attr))
          Add(card.get(), row.field, v.substr(0, v.find(' ')));
        break;
      case kManager:
        if (!managerUid.empty()) Add(card.get(), row.field, managerUid);
        break;
      case kReports:
        for (const std::string& uid : reportUids) Add(card.get(), row.field, uid);
        break;
    }
  }
  return card.release();
}

std::string DisplayNameOf(const Entry& entry) {
  std::string cn = entry.First("cn");
  if (!cn.empty()) return cn;
  std::string given = entry.First("givenname"), family = entry.First("sn");
  std::string joined = given + (given.empty() || family.empty() ? "" : " ") + family;
  return joined.empty() ? entry.First("uid") : joined;
}

}  // namespace ldapdb
