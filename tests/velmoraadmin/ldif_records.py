"""Reads an LDIF file with python-ldap's parser and prints its records in a
canonical text: for each record the dn's parts (attribute=value, "|" between
RDNs), then every attribute value, one per line, then "--". Exits non-zero
when the parser or the dn parser refuses the file."""
import sys

import ldap.dn
import ldif


def main(path):
    with open(path, "rb") as f:
        records = ldif.LDIFRecordList(f, max_entries=0)
        records.parse()
    out = []
    for dn, entry in records.all_records:
        out.append("dn=" + "|".join(
            "+".join("%s=%s" % (a, v) for a, v, _ in rdn) for rdn in ldap.dn.str2dn(dn)))
        for name, values in entry.items():
            for value in values:
                out.append("%s=%s" % (name, value.decode("utf-8")))
        out.append("--")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
