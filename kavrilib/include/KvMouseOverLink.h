// A person's name with the person icon, linked to the person's page in the
// directory viewer, that shows the person's card lines in the business-card
// applet of the same page while the mouse is over it (the page's script
// function "updateJCard").
#pragma once

#include "htmllib.h"

class KvConfigDB;
class UserDB;
class VCard;

class KvMouseOverLink : public A {
 public:
  // The card lines are those of KvJCardApplet::PopulateJCard; the name is
  // the card's FN, or the directory's display name of uid without a card.
  // When the mouse leaves, the status line is cleared. Nothing is kept:
  // layout, card, users and config stay the caller's. Raises KvError* as
  // PopulateJCard.
  KvMouseOverLink(VCard* layout, VCard* card, const char* uid, UserDB* users,
                  KvConfigDB* config);
  ~KvMouseOverLink() override;
};
