#!/usr/bin/env python3
"""Helpers of `make run-ldap` (tools/demo-ldap.sh).

  ldap_sample.py csv DATA.VCF > people.txt
      The sample people as a "|"-delimited file with a header line, ready
      for the console's LDAP conversion: uid, cn, ou, mail,
      telephonenumber, title, manager (the manager's uid).
  ldap_sample.py groups LDIF GROUPS.LST GROUPMEMBERS.LST SUFFIX > groups.ldif
      The sample groups as groupOfNames entries under ou=groups,SUFFIX, whose
      members are the entries of the converted LDIF with those uids.
  ldap_sample.py scramble TEXT
      TEXT in the scrambled form the configuration file keeps passwords in.
"""
import sys

COLUMNS = ["uid", "cn", "ou", "mail", "telephonenumber", "title", "manager"]


def cards(path):
    card = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.upper() == "BEGIN:VCARD":
                card = {}
            elif line.upper() == "END:VCARD":
                yield card
                card = None
            elif card is not None and ":" in line:
                name, value = line.split(":", 1)
                card.setdefault(name.upper(), value)


def to_csv(path):
    out = ["|".join(COLUMNS)]
    for card in cards(path):
        org = card.get("ORG", "").split(";")
        row = [card.get("UID", ""), card.get("FN", ""),
               org[1] if len(org) > 1 else org[0],
               card.get("EMAIL;INTERNET", card.get("EMAIL", "")),
               card.get("TEL;WORK;VOICE", ""), card.get("TITLE", ""),
               card.get("X-KAVRI-MGR-UID", "")]
        out.append("|".join(v.replace("|", " ") for v in row))
    print("\n".join(out))


def read_list(path):
    pairs = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith(("BEGIN:", "END:")) or ":" not in line:
                continue
            pairs.append(tuple(line.split(":", 1)))
    return pairs


def to_groups(ldif, groups, members, suffix):
    dn_of, dn = {}, None
    with open(ldif, encoding="utf-8") as f:
        for line in f:
            if line.startswith("dn: "):
                dn = line[4:].strip()
            elif line.startswith("uid: ") and dn:
                dn_of[line[5:].strip()] = dn
    print("dn: ou=groups,%s\nobjectClass: organizationalUnit\nou: groups\n" % suffix)
    for gid, name in read_list(groups):
        dns = [dn_of[u] for g, u in read_list(members) if g == gid and u in dn_of]
        if not dns:
            continue
        print("dn: cn=%s,ou=groups,%s\nobjectClass: groupOfNames\ncn: %s\ndescription: %s"
              % (gid, suffix, gid, name))
        for member in dns:
            print("member: %s" % member)
        print()


def scramble(text):
    key = b"7162"
    pad = (4 - len(text) % 4) % 4
    data = (b"p" * pad) + text.encode()
    return "0%d" % pad + "".join("%02X" % (b ^ key[i % 4]) for i, b in enumerate(data))


if __name__ == "__main__":
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "csv" and len(sys.argv) == 3:
        to_csv(sys.argv[2])
    elif command == "groups" and len(sys.argv) == 6:
        to_groups(*sys.argv[2:])
    elif command == "scramble" and len(sys.argv) == 3:
        print(scramble(sys.argv[2]))
    else:
        sys.exit(__doc__)
