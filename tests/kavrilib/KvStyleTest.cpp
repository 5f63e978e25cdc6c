// Styles: a style file's settings over the built-in defaults, image paths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "kavrilib.h"

namespace {

// Keys ignore case and reach only their own frame set or page; the second
// logo and upper styles never change; the rest keep the defaults.
TEST(KvStyleTest, SettingsOverDefaults) {
  KvStyle style("style0", "Style 0");
  ValNameList settings;
  for (const char* key : {"upperFrameHeight", "LOGOFRAMEWIDTH", "logoBackcolor", "upperBackgroundGIF",
                          "mainBackgroundGIF", "helpFrameHeight", "helpBackcolor"}) {
    settings.Append(key, "7");
  }
  style.InitFromList(&settings);
  const struct { KvFrameSetStyle* frames; int rowsOrCols; const char* dims; } frames[] = {
      {style.GetUpperFrameSetStyle(), kAttrRows, "7,*"},
      {style.GetLogoFrameSetStyle(), kAttrCols, "7,*"},
      {style.GetSecondUpperFrameSetStyle(), kAttrRows, "50,*"},
      {style.GetSecondLogoFrameSetStyle(), kAttrCols, "90,*"},
      {style.GetLowerFrameSetStyle(), kAttrCols, "90,*"},
      {style.GetSelectorFrameSetStyle(), kAttrRows, "65,*"},
      {style.GetHelpFrameSetStyle(), kAttrRows, "7,*"}};
  for (const auto& c : frames) {
    EXPECT_EQ(c.frames->GetRowOrCol(), c.rowsOrCols) << c.dims;
    EXPECT_STREQ(c.frames->GetDimensions(), c.dims);
  }
  const std::string gif = "../../../config/style/7";
  const struct { KvPageStyle* page; const char* colour; const char* gif; } pages[] = {
      {style.GetLogoPageStyle(), "7", nullptr},
      {style.GetUpperPageStyle(), "#639c9c", gif.c_str()},
      {style.GetSecondLogoPageStyle(), "#639c9c", nullptr},
      {style.GetSecondUpperPageStyle(), "#639c9c", nullptr},
      {style.GetLowerPageStyle(), "#cece9c", nullptr},
      {style.GetMainPageStyle(), "#ffffff", gif.c_str()},
      {style.GetSelectorPageStyle(), "#cece9c", nullptr},
      {style.GetHelpPageStyle(), "7", nullptr}};
  for (const auto& c : pages) {
    EXPECT_STREQ(c.page->GetBgColor(), c.colour);
    EXPECT_STREQ(c.page->GetBgGif(), c.gif) << c.colour;
  }
}

TEST(KvStyleTest, GifPathAndTitle) {
  char* plain = KvStyle(-1).GetGifPath("x");
  char* styled = KvStyle("style0", nullptr).GetGifPath("x");
  EXPECT_STREQ(plain, "images/x.gif");
  EXPECT_STREQ(styled, "images/style0/x.gif");
  free(plain);
  free(styled);
  EXPECT_STREQ(KvStyle("style0", nullptr).GetTitle(), "style0");
  EXPECT_STREQ(KvStyle(3, "blue", "Deep blue").GetTitle(), "Deep blue");
}

}  // namespace
