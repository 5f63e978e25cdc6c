// The versit (vCard) library: the card model and its text forms, the line
// parser, and files of cards with their UID index.
#pragma once

#include "utillib.h"

#include "PropNameAndSize.h"
#include "VCardSubType.h"
#include "VCardEntry.h"
#include "VCard.h"
#include "VersitParser.h"
#include "CallbackProgress.h"
#include "VersitFile.h"
#include "VersitFileWithIndex.h"
#include "VCardImporter.h"
