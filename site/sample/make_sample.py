#!/usr/bin/env python3
"""Writes the sample directory data of a demonstration installation.

Output, beside this script:
  data.vcf          fictional employees as vCard 2.1 cards, one
                    organisation tree (X-KAVRI-MGR-UID upwards,
                    X-KAVRI-DIRECT-REPORT-UID downwards)
  groups.lst        group id and group name
  groupmembers.lst  group id and member uid, one line per member
  addinfo.lst       the additional information field used by the cards

All names, numbers and addresses are made up; e-mail addresses use the
reserved example.com domain and telephone numbers the 555-01xx range.
The output is the same on every run (fixed seed).
"""
import os
import random

COUNT = 240
ORG = "Example Harbour Trading"
DOMAIN = "example.com"

GIVEN = """Ada Alan Alice Amir Anna Arjun Beatriz Ben Bianca Carla Chen Chloe
Dana Daniel David Elena Emil Emma Farah Felix Fiona Gabriel Grace Hana Hugo
Ines Ivan Jana Jonas Julia Kai Kamala Karl Laila Lars Lena Leo Lucia Maya
Mateo Mia Nadia Nils Nora Omar Olga Oscar Paula Pedro Priya Quinn Rafael
Rosa Ruth Sami Sara Sofia Tariq Tessa Theo Uma Vera Victor Wen Yara Yusuf
Zoe""".split()
FAMILY = """Abbott Adler Baker Barros Becker Bell Brandt Castro Chowdhury Costa
Dahl Diaz Eriksen Evans Fischer Fontaine Garcia Gill Haas Hale Ito Jansen
Kaur Keller Klein Kowalski Lang Larsen Lopez Meyer Moreau Nakamura Novak
Okafor Olsen Park Patel Quint Reyes Rossi Sato Schmidt Silva Singh Stone
Tan Torres Varga Vogel Wagner Weber Wolfe Young Zeller""".split()
DEPARTMENTS = ["Executive Office", "Finance", "Sales", "Engineering",
               "Operations", "Human Resources", "Legal", "Support"]
CITIES = [("Harbour Road 1", "Port Ellis", "North Region", "10001", "Examplia"),
          ("Quay Street 14", "Lowmoor", "West Region", "20417", "Examplia"),
          ("Dock Lane 7", "Saltby", "East Region", "30962", "Examplia")]
TITLES = {0: "Chief Executive Officer", 1: "Vice President", 2: "Director",
          3: "Manager", 4: "Team Lead"}
STAFF_TITLES = ["Analyst", "Engineer", "Specialist", "Coordinator",
                "Associate", "Consultant", "Accountant", "Administrator"]


def phone(n):
    return "+1 555 01%02d %04d" % (n % 100, n)


def main():
    rnd = random.Random(20261206)
    here = os.path.dirname(os.path.abspath(__file__))

    people = []
    used = set()
    for i in range(COUNT):
        given = rnd.choice(GIVEN)
        family = rnd.choice(FAMILY)
        base = (given[0] + family).lower()
        uid = base
        k = 2
        while uid in used:
            uid = "%s%d" % (base, k)
            k += 1
        used.add(uid)
        people.append({"uid": uid, "given": given, "family": family,
                       "reports": [], "mgr": None, "level": 0, "n": i + 1})

    # One tree: person 0 at the top; each later person reports to an
    # earlier one, at most eight direct reports each.
    for i in range(1, COUNT):
        while True:
            j = rnd.randrange(0, min(i, 1 + i // 3 + 1))
            if len(people[j]["reports"]) < 8:
                break
        people[i]["mgr"] = j
        people[i]["level"] = people[j]["level"] + 1
        people[j]["reports"].append(i)

    for i, p in enumerate(people):
        if i == 0:
            p["dept"] = DEPARTMENTS[0]
        elif p["level"] == 1:
            p["dept"] = DEPARTMENTS[1 + (i % (len(DEPARTMENTS) - 1))]
        else:
            p["dept"] = people[p["mgr"]]["dept"]
        if p["reports"]:
            p["title"] = TITLES[min(p["level"], 4)] + \
                ("" if i == 0 else ", " + p["dept"])
        else:
            p["title"] = rnd.choice(STAFF_TITLES)

    lines = []
    for i, p in enumerate(people):
        street, city, region, code, country = CITIES[i % len(CITIES)]
        fn = "%s %s" % (p["given"], p["family"])
        card = [
            "BEGIN:VCARD",
            "VERSION:2.1",
            "N:%s;%s;;;" % (p["family"], p["given"]),
            "FN:%s" % fn,
            "TITLE:%s" % p["title"],
            "ORG:%s;%s" % (ORG, p["dept"]),
            "TEL;WORK;VOICE:%s" % phone(1000 + p["n"]),
            "TEL;HOME;VOICE:%s" % phone(3000 + p["n"]),
            "TEL;WORK;FAX:%s" % phone(5000 + (p["n"] % 20)),
            "TEL;CELL:%s" % phone(7000 + p["n"]),
            "EMAIL;INTERNET:%s@%s" % (p["uid"], DOMAIN),
            "ADR;WORK:;Floor %d;%s;%s;%s;%s;%s" % (1 + p["n"] % 9, street, city,
                                                   region, code, country),
            "UID:%s" % p["uid"],
        ]
        if p["mgr"] is not None:
            card.append("X-KAVRI-MGR-UID:%s" % people[p["mgr"]]["uid"])
        for r in p["reports"]:
            card.append("X-KAVRI-DIRECT-REPORT-UID:%s" % people[r]["uid"])
        # Further fields, so that every field the label pages can offer
        # occurs; the person at the top has all of them.
        extras = [
            "ROLE:%s" % ("Company leadership" if i == 0 else "Team member"),
            "TEL;PAGER:%s" % phone(8000 + p["n"]),
            "TEL;CAR:%s" % phone(8500 + p["n"]),
            "TEL;HOME;FAX:%s" % phone(9000 + p["n"]),
            "ADR;HOME:;;%d Garden Row;%s;%s;%s;%s" % (p["n"], city, region,
                                                      code, country),
            "LABEL;WORK:%s, %s %s" % (street, code, city),
            "URL:http://www.%s/people/%s" % (DOMAIN, p["uid"]),
            "NOTE:Sample person number %d" % p["n"],
            "BDAY:19%02d-%02d-%02d" % (60 + p["n"] % 40, 1 + p["n"] % 12,
                                       1 + p["n"] % 28),
            "TZ:+01:00",
            "GEO:59.%04d;10.%04d" % (p["n"], p["n"]),
            "MAILER:Example Mail 4",
            "X-KAVRI-LABEL-1:Room %d.%02d" % (1 + p["n"] % 9, p["n"] % 40),
        ]
        if i == 0:
            card.extend(extras)
            card.append("X-KAVRI-UID;X-KAVRI-SECRETARY:%s" % people[1]["uid"])
        else:
            card.append(extras[p["n"] % len(extras)])
            if p["mgr"] is not None and people[p["mgr"]]["mgr"] is not None:
                card.append("X-KAVRI-UID;X-KAVRI-INDIRECT-MGR:%s" %
                            people[people[p["mgr"]]["mgr"]]["uid"])
        card.append("END:VCARD")
        lines.extend(card)
        lines.append("")

    with open(os.path.join(here, "data.vcf"), "w") as f:
        f.write("\n".join(lines))

    groups = [("g-exec", "Executive Team"), ("g-eng", "Engineering"),
              ("g-sales", "Sales"), ("g-social", "Social Committee")]
    members = {"g-exec": [people[0]["uid"]] +
               [people[r]["uid"] for r in people[0]["reports"]],
               "g-eng": [p["uid"] for p in people
                         if p["dept"] == "Engineering"],
               "g-sales": [p["uid"] for p in people if p["dept"] == "Sales"],
               "g-social": [p["uid"] for p in people[::17]]}
    with open(os.path.join(here, "groups.lst"), "w") as f:
        f.write("BEGIN:vNameList\n")
        for gid, name in groups:
            f.write("%s:%s\n" % (gid, name))
        f.write("END:vNameList\n")
    with open(os.path.join(here, "groupmembers.lst"), "w") as f:
        f.write("BEGIN:vNameList\n")
        for gid, _ in groups:
            for uid in members[gid]:
                f.write("%s:%s\n" % (gid, uid))
        f.write("END:vNameList\n")
    with open(os.path.join(here, "addinfo.lst"), "w") as f:
        f.write("BEGIN:vNameList\nDesc_1:Office Room\nSize_1:10\nEND:vNameList\n")


if __name__ == "__main__":
    main()
