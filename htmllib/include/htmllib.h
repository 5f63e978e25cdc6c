// HTML generation: the element tree that pages are built from and that
// writes itself through the request object, the HTTP header objects (cookies,
// window target, content base), the cache buster and URLs.
#pragma once

#include "HTMLAttribute.h"
#include "HTMLObject.h"
#include "HTMLElements.h"
#include "Page.h"
#include "SetCookie.h"
#include "FormattedCookie.h"
#include "Url.h"
#include "WindowTarget.h"
#include "ContentBase.h"
#include "CacheBuster.h"
