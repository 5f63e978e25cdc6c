// Reading delimited text files as RFC 4180 describes them: quoted fields,
// doubled quotes, line breaks inside quotes, CR LF line ends.
#include "DelimitedReader.h"

namespace {

std::string Trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

}  // namespace

// The reader is the file's only user while it reads: the unlocked calls
// spare a lock per character.
int DelimitedReader::Get() {
  int c = getc_unlocked(fp_);
  if (c == '\n') ++line_;
  return c;
}

bool DelimitedReader::Next(std::vector<std::string>* fields, int* line,
                           std::string* unusable) {
  fields->clear();
  unusable->clear();
  if (!started_) {
    started_ = true;
    unsigned char mark[3];
    if (fread(mark, 1, 3, fp_) != 3 || mark[0] != 0xEF || mark[1] != 0xBB || mark[2] != 0xBF) {
      rewind(fp_);
    }
  }
  int c = Get();
  // Empty lines are no records.
  while (c == '\n' || c == '\r') c = Get();
  if (c == EOF) return false;
  fields->emplace_back();
  *line = line_;
  bool quoted = false;   // inside a quoted field
  bool wasQuoted = false;  // the current field began with a quote
  for (;; c = Get()) {
    std::string& field = fields->back();
    if (c == EOF) {
      if (quoted) *unusable = "a quoted field is not closed before the end of the file";
      break;
    }
    if (quoted) {
      if (c == '"') {
        int next = getc_unlocked(fp_);
        if (next == '"') {
          field += '"';
        } else {
          if (next != EOF) ungetc(next, fp_);
          quoted = false;
        }
      } else {
        field += static_cast<char>(c);
      }
      continue;
    }
    if (c == '"' && Trimmed(field).empty() && !wasQuoted) {
      field.clear();
      quoted = wasQuoted = true;
      continue;
    }
    if (c == delimiter_) {
      if (!wasQuoted) field = Trimmed(field);
      fields->emplace_back();
      wasQuoted = false;
      continue;
    }
    if (c == '\n') break;
    if (c == '\r') {
      int next = getc_unlocked(fp_);
      if (next != '\n' && next != EOF) ungetc(next, fp_);
      if (next == '\n') ++line_;
      break;
    }
    if (wasQuoted) continue;  // text after a closing quote is dropped
    field += static_cast<char>(c);
  }
  return true;
}
