// Loading vCard files as phones, mail programs and address books write them
// (versions 2.1, 3.0 and 4.0) by rewriting them into the library's own strict
// one-line form, which VersitFile then reads.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class VCardImporter {
 public:
  VCardImporter() = default;
  VCardImporter(const VCardImporter&) = delete;
  VCardImporter& operator=(const VCardImporter&) = delete;

  // Reads every card of in and writes it to out in the strict form: folded
  // lines joined, quoted-printable and CHARSET decoded to UTF-8, group
  // prefixes, byte-order mark and unknown parameters dropped, properties the
  // card model does not know dropped (and counted), and a UID made for a card
  // without one, unique within the file. in must be seekable: it is read
  // twice, first for the UIDs already given. Throws a KvError* of kind
  // kKvErrorParse naming the line of in that cannot be read; out may then hold
  // part of the result.
  void Convert(FILE* in, FILE* out);

  int CardsLoaded() const { return cards_; }
  int UidsMade() const { return uidsMade_; }
  // Dropped property names (upper case) and how many lines each lost.
  const std::map<std::string, int>& Dropped() const { return dropped_; }
  // The report for the administrator: cards loaded, properties dropped by
  // name with counts, UIDs made (the last two only when there were any).
  std::vector<std::string> ReportLines() const;

 private:
  struct Card;
  void Pass(FILE* in, FILE* out);
  void AddProperty(Card& card, int id, const std::string& name,
                   const std::vector<std::string>& head, const std::string& value,
                   const std::string& version);
  void Finish(Card& card, FILE* out);

  int cards_ = 0;
  int uidsMade_ = 0;
  std::map<std::string, int> dropped_;
  std::map<std::string, int> uids_;  // lower-cased UIDs of the file
  bool collecting_ = false;
  // While collecting: whether the UIDs are kept (only when a card without
  // one needs a new UID unlike all of them), and whether such a card was seen.
  bool keepingUids_ = false;
  bool uidMissing_ = false;
  // While writing at once (see Convert): stop at the first card without a
  // UID, setting uidMissing_.
  bool stopAtMissingUid_ = false;
};
