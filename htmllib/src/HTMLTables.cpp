// The fixed texts of the HTML object model: start and end texts of every tag
// number and the names of every attribute number.
#include "HTMLObject.h"

const HTMLTag kHTMLTags[kHTMLTagCount] = {
    {"", ""},                            // 0 plain text
    {"", ""},                            // 1
    {"<html", "</html>"},                // 2
    {"<head", "</head>"},                // 3
    {"<body", "</body>"},                // 4
    {"<title", "</title>"},              // 5
    {"<link", "</link>"},                // 6
    {"<address", "</address>"},          // 7
    {"<blockquote", "</blockquote>"},    // 8
    {"<form", "</form>"},                // 9
    {"<h1", "</h1>"},                    // 10
    {"<h2", "</h2>"},                    // 11
    {"<h3", "</h3>"},                    // 12
    {"<h4", "</h4>"},                    // 13
    {"<h5", "</h5>"},                    // 14
    {"<h6", "</h6>"},                    // 15
    {"<hr", "</hr>"},                    // 16
    {"<dl", "</dl>"},                    // 17
    {"<dt", "</dt>"},                    // 18
    {"<dd", "</dd>"},                    // 19
    {"<ol", "</ol>"},                    // 20
    {"<li", "</li>"},                    // 21
    {"<dir", "</dir>"},                  // 22
    {"<menu", "</menu>"},                // 23
    {"<pre", "</pre>"},                  // 24
    {"<p", ""},                          // 25
    {"<td", "</td>"},                    // 26
    {"<th", "</th>"},                    // 27
    {"<tr", "</tr>"},                    // 28
    {"<table", "</table>"},              // 29
    {"<a", "</a>"},                      // 30
    {"<img", ""},                        // 31
    {"<center", "</center>"},            // 32
    {"<i", "</i>"},                      // 33
    {"<br", ""},                         // 34
    {"<select", "</select>"},            // 35
    {"<option", ""},                     // 36
    {"<input", ""},                      // 37
    {"<applet", "</applet>"},            // 38
    {"<frameset", "</frameset>"},        // 39
    {"<param", ""},                      // 40
    {"<frame", "</frame>"},              // 41
    {"<script", "</script>"},            // 42
    {"<font", "</font>"},                // 43
    {"<b", "</b>"},                      // 44
    {"", ""},                            // 45
    {"", ""},                            // 46 simple cookie
    {"<url", ""},                        // 47 Url, never written
    {"<nobr", "</nobr>"},                // 48
    {"<strong", "</strong>"},            // 49
    {"<textarea", "</textarea>"},        // 50
    {"<basefont", ""},                   // 51
    {"<spacer", ""},                     // 52
    {"", ""},                            // 53
    {"", ""},                            // 54 window target
    {"", ""},                            // 55 cache buster
    {"<ul", "</ul>"},                    // 56
    {"<style", "</style>"},              // 57
    {"", ""},                            // 58 striped cookie
    {"", ""},                            // 59 content base
};

const char* const kHTMLAttributeNames[kHTMLAttributeCount] = {
    "",             "href",         "rel",          "src",
    "size",         "align",        "compact",      "title",
    "valign",       "colspan",      "rowspan",      "nowrap",
    "bgcolor",      "cellpadding",  "cellspacing",  "code",
    "text",         "link",         "vlink",        "action",
    "enctype",      "method",       "checked",      "maxlength",
    "name",         "type",         "value",        "multiple",
    "selected",     "start",        "width",        "methods",
    "urn",          "target",       "alt",          "ismap",
    "usemap",       "height",       "units",        "border",
    "hspace",       "vspace",       "lowsrc",       "controls",
    "dynsrc",       "loop",         "loopdelay",    "clear",
    "cols",         "rows",         "scrolling",    "color",
    "onMouseOver",  "language",     "onChange",     "onClick",
    "frameborder",  "mayscript",    "onLoad",       "wrap",
    "marginheight", "marginwidth",  "onSubmit",     "background",
    "onMouseOut",   "onUnload",     "framespacing", "codebase",
    "onBlur",       "onFocus",
};

const char* HTMLTagStart(int tag) {
  return (tag >= 0 && tag < kHTMLTagCount) ? kHTMLTags[tag].start : "";
}

const char* HTMLTagEnd(int tag) {
  return (tag >= 0 && tag < kHTMLTagCount) ? kHTMLTags[tag].end : "";
}

const char* HTMLAttributeName(int number) {
  return (number >= 0 && number < kHTMLAttributeCount)
             ? kHTMLAttributeNames[number]
             : "";
}
