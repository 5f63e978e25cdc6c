// Tests of password scrambling: the stored form and its round trip.

#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"

namespace {

std::string Encrypted(KvCrypt* c, const std::string& text) {
  return Own(c->Encrypt(text.c_str())).get();
}

std::string Decrypted(KvCrypt* c, const std::string& text) {
  return Own(c->Decrypt(text.c_str())).get();
}

}  // namespace

TEST(KvCryptTest, StoredFormAndRefusals) {
  KvCrypt c(nullptr);
  // 'a'^'7', 'b'^'1', 'c'^'6', 'd'^'2' with the built-in key "7162".
  EXPECT_EQ("0056535556", Encrypted(&c, "abcd"));
  EXPECT_EQ("03", Encrypted(&c, "abcde").substr(0, 2));
  KvCrypt same("7162xyz");
  EXPECT_EQ("0056535556", Encrypted(&same, "abcd"));
  KvCrypt other("zzzz");
  EXPECT_NE("0056535556", Encrypted(&other, "abcd"));
  EXPECT_EQ("abcd", Decrypted(&other, Encrypted(&other, "abcd")));
  for (const char* text : {"", "   ", "0", "00", "secret", "99AB", "9912345678", "0456535556",
                           "xx56535556", "035653555"})
    EXPECT_EQ("", Decrypted(&c, text)) << text;
  // Plain text of a fitting length decodes to something unreadable.
  EXPECT_NE("", Decrypted(&c, "0012345678"));
  // Every length pads to whole blocks of four; a character equal to the
  // key's (a zero byte once scrambled) survives too.
  for (std::string text : {"7", "a1", "~ 6", "7162", "x7162", "Secret#Root!",
                           " !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"}) {
    std::string form = Encrypted(&c, text);
    EXPECT_EQ(2 + 2 * ((text.size() + 3) / 4 * 4), form.size()) << text;
    EXPECT_EQ(text, Decrypted(&c, form)) << text;
  }
}
