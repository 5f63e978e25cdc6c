// Lenient vCard reading: vCard 2.1 (versit), 3.0 (RFC 2425/2426) and 4.0
// (RFC 6350) text rewritten, card by card, into the strict 2.1 form of this
// library (one unfolded line per property, known names and parameters only,
// UTF-8 values).
#include "VCardImporter.h"

#include <iconv.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "PropNameAndSize.h"
#include "VersitError.h"

namespace {

const char kAtLine[] = "Error reading versit card at line number ";
const char kNoColon[] = "No ':' character found on line";
const char kOutside[] = "Text outside BEGIN and END in versit card";
const char kNoEnd[] = "BEGIN without END in versit card";

[[noreturn]] void Refuse(unsigned line, const char* message) {
  try {
    VERSIT_PARSE_ERROR(message);
  } catch (KvError* e) {
    VERSIT_ADD_USER_LINE(e, kAtLine + std::to_string(line));
    throw;
  }
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Physical lines of a file, CR LF, LF or a lone CR at the end taken off, a
// UTF-8 byte-order mark and NUL bytes skipped; one line of look-ahead.
class LineSource {
 public:
  explicit LineSource(FILE* in) : in_(in) {}
  ~LineSource() { free(buf_); }
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  bool Peek(std::string** line) {
    if (!hasNext_) {
      ssize_t got = getline(&buf_, &cap_, in_);
      if (got < 0) return false;
      next_.assign(buf_, static_cast<size_t>(got));
      // NUL bytes are no text; names and values are compared and written
      // as C strings, where one would cut them short.
      next_.erase(std::remove(next_.begin(), next_.end(), '\0'), next_.end());
      while (!next_.empty() && (next_.back() == '\n' || next_.back() == '\r')) next_.pop_back();
      if (first_ && next_.compare(0, 3, "\xEF\xBB\xBF") == 0) next_.erase(0, 3);
      first_ = false;
      hasNext_ = true;
    }
    *line = &next_;
    return true;
  }
  // Takes the peeked line; REQUIRES: Peek returned true.
  std::string Take() {
    hasNext_ = false;
    ++number_;
    return std::move(next_);
  }
  unsigned Number() const { return number_; }

 private:
  FILE* in_;
  char* buf_ = nullptr;
  size_t cap_ = 0;
  std::string next_;
  bool hasNext_ = false;
  bool first_ = true;
  unsigned number_ = 0;
};

// The position of the first ':' outside double quotes (4.0 quotes parameter
// values), or npos.
size_t NameEnd(const std::string& line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string::npos;
}

std::vector<std::string> SplitOutsideQuotes(const std::string& text, char sep) {
  std::vector<std::string> parts(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c == sep && !quoted) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

bool IsQuotedPrintable(const std::string& line) {
  size_t end = NameEnd(line);
  std::string head = Upper(line.substr(0, end == std::string::npos ? line.size() : end));
  return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodeQuotedPrintable(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '=' && i + 2 < in.size() && Hex(in[i + 1]) >= 0 && Hex(in[i + 2]) >= 0) {
      out += static_cast<char>(Hex(in[i + 1]) * 16 + Hex(in[i + 2]));
      i += 2;
    } else if (in[i] == '=' && i + 1 == in.size()) {
      // a soft break left at the very end
    } else {
      out += in[i];
    }
  }
  return out;
}

bool IsUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
    } else if (c >= 0x80) {
      return false;
    }
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Windows-1252, the usual charset of an unlabelled 8-bit export; its
// undefined bytes are taken as Latin-1.
std::string FromWindows1252(const std::string& in) {
  static const unsigned short k80to9F[32] = {
      0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  std::string out;
  for (char ch : in) {
    unsigned char c = static_cast<unsigned char>(ch);
    AppendUtf8(out, c >= 0x80 && c < 0xA0 ? k80to9F[c - 0x80] : c);
  }
  return out;
}

std::string ToUtf8(const std::string& in, const std::string& charset) {
  std::string upper = Upper(charset);
  if (!charset.empty() && upper != "UTF-8" && upper != "UTF8" && upper != "US-ASCII") {
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd != reinterpret_cast<iconv_t>(-1)) {
      std::string out(in.size() * 4 + 4, '\0');
      char* src = const_cast<char*>(in.data());
      size_t srcLeft = in.size();
      char* dst = &out[0];
      size_t dstLeft = out.size();
      size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
      iconv_close(cd);
      if (rc != static_cast<size_t>(-1) && srcLeft == 0) {
        out.resize(out.size() - dstLeft);
        return out;
      }
    }
  }
  return IsUtf8(in) ? in : FromWindows1252(in);
}

// RFC 6350 section 3.4 escapes. In structured values an escaped ";" stays
// inside its component, so it becomes ",".
std::string Unescape(const std::string& in, bool structured) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\' || i + 1 == in.size()) {
      out += in[i];
      continue;
    }
    char next = in[++i];
    if (next == 'n' || next == 'N') {
      out += '\n';
    } else if (next == ';') {
      out += structured ? ',' : ';';
    } else if (next == ',' || next == '\\') {
      out += next;
    } else {
      out += '\\';
      out += next;
    }
  }
  return out;
}

// A line of the strict form holds no line break: breaks become ", " (a
// blank in a note), blanks around them dropped.
std::string OneLine(const std::string& in, bool note) {
  std::string out;
  size_t i = 0;
  while (i < in.size()) {
    if (in[i] == '\r' || in[i] == '\n') {
      while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
      while (i < in.size() && (in[i] == '\r' || in[i] == '\n' || in[i] == ' ' || in[i] == '\t')) {
        ++i;
      }
      if (!out.empty() && i < in.size()) out += note ? " " : ", ";
      continue;
    }
    out += in[i++];
  }
  return out;
}

using RowsByName = std::unordered_map<std::string, int>;

RowsByName RowsOf(const PropNameAndSize* table) {
  RowsByName rows;
  for (int row = 0; table[row].name != nullptr; ++row) rows.emplace(Upper(table[row].name), row);
  return rows;
}

// The first row of table (the property, type or value names) whose name is
// name in any case, or -1. Every line of a file looks its name up: the
// tables are hashed once.
int FindRow(const PropNameAndSize* table, const std::string& name) {
  static const RowsByName props = RowsOf(kVCardPropNames);
  static const RowsByName types = RowsOf(kVCardTypeNames);
  static const RowsByName values = RowsOf(kVCardValueNames);
  const RowsByName& rows = table == kVCardPropNames ? props
                           : table == kVCardTypeNames ? types
                                                      : values;
  auto found = rows.find(Upper(name));
  return found == rows.end() ? -1 : found->second;
}

// True when text holds more than blanks and tabs.
bool HasText(const std::string& text) { return text.find_first_not_of(" \t") != std::string::npos; }

bool IsDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// Digits of a number the strict reader takes as a label or type number.
bool IsSmallNumber(const std::string& s) {
  return IsDigits(s) && s.size() <= 9;
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  return strncasecmp(s.c_str(), prefix, strlen(prefix)) == 0;
}

// Characters a made UID keeps: letters, digits, ".", "_", "-", "+" and
// non-ASCII UTF-8; upper-case ASCII is lowered.
std::string UidText(const std::string& in) {
  std::string out;
  for (char ch : in) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (isalnum(c) || c == '.' || c == '_' || c == '-' || c == '+' || c >= 0x80) {
      out += static_cast<char>(tolower(c));
    } else if ((c == ' ' || c == '\t') && !out.empty() && out.back() != '.') {
      out += '.';
    }
  }
  while (!out.empty() && out.back() == '.') out.pop_back();
  return out;
}


// The parameters of one property in the strict form, in the order they
// came, without repeats: TYPE names, "VALUE=..." and "ENCODING=BASE64".
struct Params {
  std::vector<std::string> texts;
  std::string charset;
  bool quotedPrintable = false;

  bool Has(const std::string& text) const {
    for (const std::string& have : texts) {
      if (have == text) return true;
    }
    return false;
  }
  void Add(const std::string& text) {
    if (!text.empty() && !Has(text)) texts.push_back(text);
  }
  void Remove(const std::string& text) {
    for (auto it = texts.begin(); it != texts.end(); ++it) {
      if (*it == text) {
        texts.erase(it);
        return;
      }
    }
  }
};

const char kValueUrl[] = "VALUE=URL";
const char kBase64[] = "ENCODING=BASE64";

void AddType(Params& p, const std::string& raw) {
  std::string upper = Upper(Trim(raw));
  int row = FindRow(kVCardTypeNames, upper);
  if (row >= 0) {
    p.Add(kVCardTypeNames[row].name);
  } else if (StartsWithNoCase(upper, kVCardTypePrefix) &&
             IsSmallNumber(upper.substr(strlen(kVCardTypePrefix)))) {
    p.Add(upper);
  } else if (upper == "IMAGE/JPEG" || upper == "JPG") {
    p.Add("JPEG");
  } else if (upper == "IMAGE/GIF") {
    p.Add("GIF");
  } else if (upper == "IMAGE/TIFF") {
    p.Add("TIFF");
  }
}

// Parameters "KEY=VALUE[,VALUE]" (any case, values possibly quoted) and the
// bare values of 2.1. What the strict form cannot say is dropped.
Params ParseParams(const std::vector<std::string>& head) {
  Params p;
  for (size_t i = 1; i < head.size(); ++i) {
    std::string param = Trim(head[i]);
    size_t eq = param.find('=');
    std::string key = eq == std::string::npos ? "" : Upper(Trim(param.substr(0, eq)));
    std::string rest = eq == std::string::npos ? param : Trim(param.substr(eq + 1));
    std::string upper = Upper(rest);
    if (key.empty() || key == "ENCODING") {
      if (upper == "QUOTED-PRINTABLE" || (!key.empty() && upper == "Q")) {
        p.quotedPrintable = true;
      } else if (upper == "BASE64" || (!key.empty() && upper == "B")) {
        p.Add(kBase64);
      } else if (key.empty()) {
        AddType(p, rest);
      }
    } else if (key == "TYPE" || key == "MEDIATYPE") {
      for (const std::string& t : SplitOutsideQuotes(rest, ',')) AddType(p, t);
    } else if (key == "PREF") {
      AddType(p, "PREF");
    } else if (key == "CHARSET") {
      p.charset = rest;
    } else if (key == "VALUE") {
      int row = FindRow(kVCardValueNames, upper == "URI" ? "URL" : upper);
      if (row >= 0) p.Add(std::string("VALUE=") + kVCardValueNames[row].name);
    }
  }
  return p;
}

std::string WithoutBlanks(const std::string& in) {
  std::string out;
  for (char c : in) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  }
  return out;
}

}  // namespace

struct VCardImporter::Card {
  std::vector<std::string> lines;  // strict lines without their line end
  std::string uid, email, fn, n;
  bool hasUid = false;
};

std::vector<std::string> VCardImporter::ReportLines() const {
  std::vector<std::string> lines;
  lines.push_back(std::to_string(cards_) + (cards_ == 1 ? " card loaded" : " cards loaded"));
  if (!dropped_.empty()) {
    // A file of made-up names gives a report of bounded size.
    const size_t kMostNames = 40;
    const size_t kLongestName = 60;
    std::string text = "Properties dropped:";
    size_t shown = 0;
    for (const auto& item : dropped_) {
      if (shown == kMostNames) {
        text += " and " + std::to_string(dropped_.size() - shown) + " more";
        break;
      }
      text += shown++ == 0 ? " " : ", ";
      size_t cut = item.first.size();
      if (cut > kLongestName) {
        cut = kLongestName;  // not inside a UTF-8 sequence
        while (cut > 0 && (static_cast<unsigned char>(item.first[cut]) & 0xC0) == 0x80) --cut;
      }
      text += item.first.substr(0, cut) + (cut < item.first.size() ? "..." : "");
      text += " (" + std::to_string(item.second) + ")";
    }
    lines.push_back(text);
  }
  if (uidsMade_ > 0) lines.push_back("UIDs made: " + std::to_string(uidsMade_));
  return lines;
}

namespace {

// True when out is a regular file not yet written to, which a conversion
// can empty and begin again.
bool CanStartOver(FILE* out) {
  int fd = fileno(out);
  struct stat st;
  return fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ftell(out) == 0;
}

}  // namespace

void VCardImporter::Convert(FILE* in, FILE* out) {
  cards_ = 0;
  uidsMade_ = 0;
  dropped_.clear();
  uids_.clear();
  keepingUids_ = false;
  uidMissing_ = false;
  if (CanStartOver(out)) {
    // Most files give every card its UID: they are written in one pass, and
    // begun again only when a card without one turns up.
    collecting_ = false;
    stopAtMissingUid_ = true;
    Pass(in, out);
    stopAtMissingUid_ = false;
    if (!uidMissing_) return;
    if (fflush(out) != 0 || ftruncate(fileno(out), 0) != 0 || fseek(out, 0, SEEK_SET) != 0) {
      VERSIT_FAULT("Unable to begin the converted file again");
    }
    rewind(in);
    cards_ = 0;
    dropped_.clear();
  } else {
    // Into a stream that cannot be begun again: first a pass that only
    // looks for a card without a UID.
    collecting_ = true;
    Pass(in, nullptr);
    rewind(in);
  }
  // The UIDs of the file are gathered only when a card lacks one: a
  // large file that has them all is not held in memory.
  if (uidMissing_) {
    collecting_ = true;
    keepingUids_ = true;
    Pass(in, nullptr);
    rewind(in);
  }
  collecting_ = false;
  cards_ = 0;
  Pass(in, out);
}

void VCardImporter::Pass(FILE* in, FILE* out) {
  LineSource source(in);
  std::unique_ptr<Card> card;
  std::string version = "2.1";
  int nested = 0;
  std::string* peek = nullptr;
  while (source.Peek(&peek)) {
    std::string line = source.Take();
    unsigned lineNumber = source.Number();
    // Continuations: a line that starts with a blank or tab (folding), and
    // the next line after a quoted-printable soft break "=".
    bool qp = IsQuotedPrintable(line);
    for (;;) {
      if (qp && !line.empty() && line.back() == '=' && source.Peek(&peek)) {
        line.pop_back();
        line += source.Take();
        continue;
      }
      if (source.Peek(&peek) && !peek->empty() && (peek->front() == ' ' || peek->front() == '\t') &&
          HasText(*peek) && HasText(line)) {
        std::string more = source.Take();
        line += version == "2.1" ? more : more.substr(1);
        continue;
      }
      break;
    }
    if (!HasText(line)) continue;

    size_t colon = NameEnd(line);
    std::vector<std::string> head =
        SplitOutsideQuotes(line.substr(0, colon == std::string::npos ? line.size() : colon), ';');
    std::string name = Upper(Trim(head[0]));
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(0, dot + 1);  // group prefix "item1."
    std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);

    if (!card) {
      if (colon != std::string::npos && name == "BEGIN" && strcasecmp(Trim(value).c_str(), "VCARD") == 0) {
        card.reset(new Card());
        version = "2.1";
        continue;
      }
      Refuse(lineNumber, kOutside);
    }
    if (colon == std::string::npos) Refuse(lineNumber, kNoColon);
    if (name == "BEGIN") {  // a card inside the card (an inline AGENT)
      ++nested;
      continue;
    }
    if (name == "END") {
      if (nested > 0) {
        if (--nested == 0 && !collecting_) ++dropped_["AGENT"];
        continue;
      }
      Finish(*card, out);
      card.reset();
      if (stopAtMissingUid_ && uidMissing_) return;
      continue;
    }
    if (nested > 0) continue;
    if (name == "VERSION") {
      version = Trim(value);
      continue;
    }

    int id = FindRow(kVCardPropNames, name);
    if (id < 0 && StartsWithNoCase(name, kVCardLabelPrefix) &&
        IsSmallNumber(name.substr(strlen(kVCardLabelPrefix)))) {
      id = kVCardFirstLabel;
    }
    if (id < 0 || (id == kVCardAgent && StartsWithNoCase(Trim(value), "BEGIN:"))) {
      if (!collecting_) ++dropped_[name];
      continue;
    }

    if (collecting_ && id != kVCardUID) continue;
    AddProperty(*card, id, name, head, value, version);
  }
  if (card) Refuse(source.Number(), kNoEnd);
}

void VCardImporter::AddProperty(Card& card, int id, const std::string& name,
                                const std::vector<std::string>& head, const std::string& raw,
                                const std::string& version) {
  Params p = ParseParams(head);
  bool media = id == kVCardPhoto || id == kVCardLogo || id == kVCardSound || id == kVCardKey;
  bool modern = version != "2.1";
  std::string value = p.quotedPrintable ? DecodeQuotedPrintable(raw) : raw;
  std::string trimmed = Trim(value);
  if (p.Has(kBase64)) {
    value = WithoutBlanks(value);
  } else if (media && modern && StartsWithNoCase(trimmed, "data:")) {
    // RFC 2397: data:image/jpeg;base64,...
    size_t comma = trimmed.find(',');
    std::string meta = Upper(trimmed.substr(5, comma == std::string::npos ? 0 : comma - 5));
    if (comma != std::string::npos && meta.size() >= 7 &&
        meta.compare(meta.size() - 7, 7, ";BASE64") == 0) {
      AddType(p, meta.substr(0, meta.find(';')));
      p.Remove(kValueUrl);
      p.Add(kBase64);
      value = WithoutBlanks(trimmed.substr(comma + 1));
    } else {
      p.Add(kValueUrl);
    }
  } else {
    bool structured = id == kVCardN || id == kVCardAdr || id == kVCardOrg;
    value = ToUtf8(value, p.charset);
    if (modern && !media && id != kVCardURL) {
      value = Unescape(value, structured);
    } else if (structured) {
      for (size_t at = value.find("\\;"); at != std::string::npos; at = value.find("\\;", at)) {
        value.replace(at, 2, ",");
      }
    }
    if (id == kVCardTel && StartsWithNoCase(Trim(value), "tel:")) {
      value = Trim(value).substr(4);
      p.Remove(kValueUrl);
    }
    if (media && version == "4.0") p.Add(kValueUrl);  // a 4.0 media value is a URI
    value = OneLine(value, id == kVCardNote);
  }
  // A value ends at a NUL byte decoded from it, as it would when written,
  // so that a UID "=00" counts as none.
  value.erase(std::min(value.find('\0'), value.size()));

  if (id == kVCardUID) {
    value = Trim(value);
    if (StartsWithNoCase(value, "urn:uuid:")) value.erase(0, 9);
    if (value.empty() || card.hasUid) return;
    card.hasUid = true;
    if (collecting_) {
      if (keepingUids_) uids_[Upper(value)] = 1;
      return;
    }
  }
  if (id == kVCardEmail && card.email.empty()) card.email = Trim(value);
  if (id == kVCardFN && card.fn.empty()) card.fn = Trim(value);
  if (id == kVCardN && card.n.empty()) card.n = value;

  std::string text = id >= kVCardFirstLabel ? name : kVCardPropNames[id].name;
  for (const std::string& t : p.texts) text += ";" + t;
  card.lines.push_back(text + ":" + value);
}

void VCardImporter::Finish(Card& card, FILE* out) {
  if (collecting_ || (stopAtMissingUid_ && !card.hasUid)) {
    if (!card.hasUid) uidMissing_ = true;
    return;
  }
  ++cards_;
  if (!card.hasUid) {
    std::string base = UidText(card.email.substr(0, card.email.find('@')));
    if (base.empty()) base = UidText(card.fn);
    if (base.empty()) {
      // N is family;given;...: given first.
      std::vector<std::string> parts = SplitOutsideQuotes(card.n, ';');
      base = UidText((parts.size() > 1 ? parts[1] + " " : "") + parts[0]);
    }
    if (base.empty()) base = "person";
    std::string uid = base;
    for (int k = 2; uids_.count(Upper(uid)) != 0; ++k) uid = base + "-" + std::to_string(k);
    uids_[Upper(uid)] = 1;
    card.lines.insert(card.lines.begin(), "UID:" + uid);
    ++uidsMade_;
  }
  fputs("BEGIN:VCARD\n", out);
  for (const std::string& line : card.lines) {
    fputs(line.c_str(), out);
    fputc('\n', out);
  }
  fputs("END:VCARD\n", out);
}
