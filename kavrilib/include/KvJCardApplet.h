// The business-card applet: an applet element whose parameters carry the
// card's line titles and, for a person, the four lines of the card with the
// address and target window each line opens. The applet's class files are
// installed under "../../common/bin"; this program writes only the element.
//
// Choices made here for what the card lines leave open:
// - A card field is a directory attribute when its property text
//   (VCardEntry::GetNameAndSubTypes, "TITLE", "TEL;WORK;VOICE") is in the
//   directory's attribute list (UserDB::GetAttributeList). When that
//   attribute's type (UserDB::GetAttributeTypes) is "kavriSelectS", in any
//   case, the stored value is looked up by name in
//   UserDB::GetAttributeOptions(property text) and the line shows the
//   option's display text; a value missing from the options is shown as
//   stored.
// - A line opens a web address when its field is a URL property, or any
//   field marked VALUE=URL, and its value starts with "http://", "https://"
//   or "ftp://" (any case). Other values are shown without an address, so
//   that card data cannot make the applet open a script URL.
#pragma once

#include "htmllib.h"

class KvConfigDB;
class UserDB;
class VCard;

class KvJCardApplet : public Applet {
 public:
  // layout: the business-card layout (its entries' values are the line
  // titles, in order); card: the person's card, or null for the titles
  // alone; styleName picks the card's background image. Nothing is kept:
  // layout, card, users and config stay the caller's.
  KvJCardApplet(VCard* layout, VCard* card, const char* bgColor,
                const char* styleName, UserDB* users, KvConfigDB* config);
  ~KvJCardApplet() override;

  // Sets the twelve outputs to the text, address and target window of card
  // lines 1 to 4 (layout entries 1 to 4; entry 0 is the name line, shown
  // apart). Lines without a value, address or target stay "". A null layout
  // or card leaves all twelve "". config is not consulted. Raises KvError*
  // from the directory with the line "Error while generating PopulateJCard".
  static void PopulateJCard(VCard* layout, VCard* card, UserDB* users,
                            KvConfigDB* config,
                            String* text1, String* url1, String* target1,
                            String* text2, String* url2, String* target2,
                            String* text3, String* url3, String* target3,
                            String* text4, String* url4, String* target4);
};
