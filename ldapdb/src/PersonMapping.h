// How a person's LDAP entry (inetOrgPerson) becomes the card the console
// shows, and which attributes access rules can name. The table, in card
// order:
//
//   LDAP attribute            card field                 note
//   sn, givenName             N                          family;given;;;
//   cn                        FN                         first value
//   title                     TITLE
//   o, ou                     ORG                        organisation;unit; without
//                                                        o, the DN's o= part
//   telephoneNumber           TEL;WORK;VOICE
//   facsimileTelephoneNumber  TEL;WORK;FAX
//   mobile                    TEL;CELL
//   homePhone                 TEL;HOME;VOICE
//   pager                     TEL;PAGER
//   mail                      EMAIL;INTERNET
//   postalAddress             ADR;WORK                   "$" between lines; seven
//                                                        lines are the seven ADR parts
//   labeledURI                URL                        the URI, without its label
//   description               NOTE
//   uid                       UID
//   manager                   X-KAVRI-MGR-UID            the manager entry's uid
//   (entries naming this one  X-KAVRI-DIRECT-REPORT-UID  their uids
//    as manager)
//   jpegPhoto                 (not on the card)          set by CopyPhotos
//
// Every value of a multi-valued attribute gives one field.
#pragma once

#include <string>
#include <vector>

#include "LdapSession.h"
#include "versitlib.h"

namespace ldapdb {

// The attributes to ask for when a card is made.
const std::vector<std::string>& CardAttributes();
// The attributes access rules can name, in display order.
const std::vector<std::string>& RuleAttributes();
// The card of a person entry (caller deletes). managerUid may be empty.
VCard* CardFromEntry(const Entry& entry, const std::string& managerUid,
                     const std::vector<std::string>& reportUids);
// The display name of a person entry: cn, else "givenName sn", else uid.
std::string DisplayNameOf(const Entry& entry);

}  // namespace ldapdb
