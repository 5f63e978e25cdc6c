// The organisation-graph applet: an applet element whose parameters carry
// the person to start from, the button images of the style, the addresses
// the applet talks to (the common program for graph data, the selector for
// the people chosen in it) and the viewer's settings. The applet's class
// files are installed under "../../common/bin".
#pragma once

#include "htmllib.h"

class KvGraphViewApplet : public Applet {
 public:
  // The arguments follow the order in which the element writes them: uid
  // (the person in the middle of the graph), styleName (the button images'
  // directory), width and height of the applet, bgColor, zoomFactor,
  // titleEntry, printPreviewUrl, selectorOn (people may be chosen in the
  // graph), singleSelMode (only one at a time; also the selector's
  // "selector_mode"), urlLength, and selectorCookie, the value of the
  // selector address's "PersonSelectorCookieToLook" parameter (the cookie
  // the selector reads the choice from). Null texts count as "".
  KvGraphViewApplet(const char* uid, const char* styleName, int width,
                    int height, const char* bgColor, int zoomFactor,
                    const char* titleEntry, const char* printPreviewUrl,
                    KvBoolean selectorOn, KvBoolean singleSelMode,
                    int urlLength, const char* selectorCookie);
  ~KvGraphViewApplet() override;
};
