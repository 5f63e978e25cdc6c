// The name tables of the vCard text form. The row index of each table is the
// identifier stored in entries and parameters; the order is also the order in
// which the parser tries the names.
#include "PropNameAndSize.h"

#define ROW(text) {text, static_cast<int>(sizeof(text) - 1)}

const PropNameAndSize kVCardPropNames[] = {
    ROW("BEGIN"),   ROW("END"),   ROW("ADR"),     ROW("ORG"),
    ROW("N"),       ROW("AGENT"), ROW("LOGO"),    ROW("PHOTO"),
    ROW("LABEL"),   ROW("FN"),    ROW("TITLE"),   ROW("SOUND"),
    ROW("VERSION"), ROW("TEL"),   ROW("EMAIL"),   ROW("TZ"),
    ROW("GEO"),     ROW("NOTE"),  ROW("URL"),     ROW("BDAY"),
    ROW("ROLE"),    ROW("REV"),   ROW("UID"),     ROW("KEY"),
    ROW("MAILER"),  ROW("X-KAVRI-MGR-UID"),       ROW("X-KAVRI-DIRECT-REPORT-UID"),
    ROW("X-KAVRI-UID"),
    {nullptr, 0},
};

const PropNameAndSize kVCardSubPropNames[] = {
    ROW("TYPE"), ROW("VALUE"), ROW("ENCODING"), ROW("CHARSET"), ROW("LANGUAGE"),
    {nullptr, 0},
};

const PropNameAndSize kVCardTypeNames[] = {
    ROW("DOM"),       ROW("INTL"),     ROW("POSTAL"),     ROW("PARCEL"),
    ROW("HOME"),      ROW("WORK"),     ROW("PREF"),       ROW("VOICE"),
    ROW("FAX"),       ROW("MSG"),      ROW("CELL"),       ROW("PAGER"),
    ROW("BBS"),       ROW("MODEM"),    ROW("CAR"),        ROW("ISDN"),
    ROW("VIDEO"),     ROW("AOL"),      ROW("APPLELINK"),  ROW("ATTMAIL"),
    ROW("CIS"),       ROW("EWORLD"),   ROW("INTERNET"),   ROW("IBMMAIL"),
    ROW("MCIMAIL"),   ROW("POWERSHARE"), ROW("PRODIGY"),  ROW("TLX"),
    ROW("X400"),      ROW("GIF"),      ROW("CGM"),        ROW("WMF"),
    ROW("BMP"),       ROW("MET"),      ROW("PMB"),        ROW("DIB"),
    ROW("PICT"),      ROW("TIFF"),     ROW("PDF"),        ROW("PS"),
    ROW("JPEG"),      ROW("QTIME"),    ROW("MPEG"),       ROW("MPEG2"),
    ROW("AVI"),       ROW("WAVE"),     ROW("AIFF"),       ROW("PCM"),
    ROW("X509"),      ROW("PGP"),      ROW("X-KAVRI-INDIRECT-MGR"),
    ROW("X-KAVRI-INDIRECT-REPORT"),    ROW("X-KAVRI-SECRETARY"),
    {nullptr, 0},
};

const PropNameAndSize kVCardValueNames[] = {
    ROW("INLINE"), ROW("URL"), ROW("CONTENT-ID"), ROW("CID"),
    {nullptr, 0},
};

const PropNameAndSize kVCardEncodingNames[] = {
    ROW("7BIT"), ROW("8BIT"), ROW("QUOTED-PRINTABLE"), ROW("BASE64"),
    {nullptr, 0},
};
