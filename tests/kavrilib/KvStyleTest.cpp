// Styles: built-in defaults, settings from a style file, image paths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "kavrilib.h"

namespace {

std::string Take(char* text) {
  std::string s = text ? text : "(null)";
  free(text);
  return s;
}

TEST(KvStyleTest, BuiltInDefaults) {
  KvStyle style(-1);
  EXPECT_EQ(style.GetId(), -1);
  EXPECT_EQ(style.GetName(), nullptr);
  EXPECT_EQ(style.GetTitle(), nullptr);

  struct FrameCase {
    KvFrameSetStyle* style;
    int rowsOrCols;
    const char* dims;
  } frames[] = {
      {style.GetUpperFrameSetStyle(), kAttrRows, "50,*"},
      {style.GetLogoFrameSetStyle(), kAttrCols, "90,*"},
      {style.GetSecondUpperFrameSetStyle(), kAttrRows, "50,*"},
      {style.GetSecondLogoFrameSetStyle(), kAttrCols, "90,*"},
      {style.GetLowerFrameSetStyle(), kAttrCols, "90,*"},
      {style.GetSelectorFrameSetStyle(), kAttrRows, "65,*"},
      {style.GetHelpFrameSetStyle(), kAttrRows, "65,*"},
  };
  for (const FrameCase& c : frames) {
    EXPECT_EQ(c.style->GetRowOrCol(), c.rowsOrCols);
    EXPECT_STREQ(c.style->GetDimensions(), c.dims);
  }

  struct PageCase {
    KvPageStyle* style;
    const char* colour;
  } pages[] = {
      {style.GetLogoPageStyle(), "#639c9c"},   {style.GetUpperPageStyle(), "#639c9c"},
      {style.GetSecondLogoPageStyle(), "#639c9c"},
      {style.GetSecondUpperPageStyle(), "#639c9c"},
      {style.GetLowerPageStyle(), "#cece9c"},  {style.GetMainPageStyle(), "#ffffff"},
      {style.GetSelectorPageStyle(), "#cece9c"}, {style.GetHelpPageStyle(), "#cece9c"},
  };
  for (const PageCase& c : pages) {
    EXPECT_STREQ(c.style->GetBgColor(), c.colour);
    EXPECT_EQ(c.style->GetBgGif(), nullptr);
  }
}

TEST(KvStyleTest, InitFromListAppliesOnlyGivenKeys) {
  KvStyle style("style0", "Style 0");
  ValNameList settings;
  settings.Append("upperFrameHeight", "70");
  settings.Append("mainBackgroundGIF", "paper.gif");
  settings.Append("LOWERBACKCOLOR", "#000000");  // keys ignore case
  settings.Append("helpFrameHeight", "120");
  style.InitFromList(&settings);

  EXPECT_STREQ(style.GetUpperFrameSetStyle()->GetDimensions(), "70,*");
  EXPECT_EQ(style.GetUpperFrameSetStyle()->GetRowOrCol(), kAttrRows);
  EXPECT_STREQ(style.GetMainPageStyle()->GetBgGif(),
               "../../../config/style/paper.gif");
  EXPECT_STREQ(style.GetMainPageStyle()->GetBgColor(), "#ffffff");
  EXPECT_STREQ(style.GetLowerPageStyle()->GetBgColor(), "#000000");
  EXPECT_STREQ(style.GetHelpFrameSetStyle()->GetDimensions(), "120,*");
  EXPECT_STREQ(style.GetLogoFrameSetStyle()->GetDimensions(), "90,*");
  EXPECT_STREQ(style.GetSelectorPageStyle()->GetBgColor(), "#cece9c");
}

TEST(KvStyleTest, SecondStylesNeverChange) {
  KvStyle style("style0", nullptr);
  ValNameList settings;
  for (const char* key : {"upperFrameHeight", "logoFrameWidth", "logoBackcolor",
                          "upperBackcolor", "logoBackgroundGIF", "upperBackgroundGIF"}) {
    settings.Append(key, "1");
  }
  style.InitFromList(&settings);
  EXPECT_STREQ(style.GetSecondUpperFrameSetStyle()->GetDimensions(), "50,*");
  EXPECT_STREQ(style.GetSecondLogoFrameSetStyle()->GetDimensions(), "90,*");
  EXPECT_STREQ(style.GetSecondLogoPageStyle()->GetBgColor(), "#639c9c");
  EXPECT_EQ(style.GetSecondUpperPageStyle()->GetBgGif(), nullptr);
  EXPECT_STREQ(style.GetLogoPageStyle()->GetBgGif(), "../../../config/style/1");
}

TEST(KvStyleTest, GifPathAndTitle) {
  EXPECT_EQ(Take(KvStyle(-1).GetGifPath("x")), "images/x.gif");
  KvStyle named("style0", nullptr);
  EXPECT_EQ(Take(named.GetGifPath("x")), "images/style0/x.gif");
  EXPECT_STREQ(named.GetTitle(), "style0");
  EXPECT_STREQ(KvStyle(3, "blue", "Deep blue").GetTitle(), "Deep blue");
}

}  // namespace
