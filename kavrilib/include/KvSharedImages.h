// Images shared by several pages whose source is a request to a sibling
// program of the suite (photos, logos) or a fixed image file. Each returns
// a new image that the caller adds to a page.
#pragma once

#include "KvImage.h"

// A person's photo; photoType may be null. With addTime the URL carries the
// current time so that the browser does not show a cached photo.
KvImage* KvGetPersonGif(const char* uid, const char* photoType,
                        KvBoolean addTime);
KvImage* KvGetKavriCompanyGif();
KvImage* KvGetCompanyLogo(const char* styleId);
KvImage* KvGetFrontPageLogo();
KvImage* KvGetKavriLogo();
