// Tests of password scrambling: the stored form and its round trip.

#include <gtest/gtest.h>

#include <random>
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

TEST(KvCryptTest, StoredForm) {
  KvCrypt c(nullptr);
  // 'a'^'7', 'b'^'1', 'c'^'6', 'd'^'2' with the built-in key "7162".
  EXPECT_EQ("0056535556", Encrypted(&c, "abcd"));
  std::string five = Encrypted(&c, "abcde");
  EXPECT_EQ(18u, five.size());
  EXPECT_EQ("03", five.substr(0, 2));
  EXPECT_EQ("", Encrypted(&c, ""));
  KvCrypt same("7162xyz");
  EXPECT_EQ("0056535556", Encrypted(&same, "abcd"));
  KvCrypt other("zzzz");
  EXPECT_NE("0056535556", Encrypted(&other, "abcd"));
  EXPECT_EQ("abcd", Decrypted(&other, Encrypted(&other, "abcd")));
}

TEST(KvCryptTest, DecryptRejectsWhatWasNeverScrambled) {
  KvCrypt c(nullptr);
  const char* rejected[] = {"", "   ", "0", "secret", "99AB", "9912345678",
                            "0456535556", "xx56535556", "035653555"};
  for (const char* text : rejected) EXPECT_EQ("", Decrypted(&c, text)) << text;
  EXPECT_EQ("", Decrypted(&c, "00"));
  // Plain text of a fitting length decodes to something unreadable.
  EXPECT_NE("", Decrypted(&c, "0012345678"));
}

TEST(KvCryptTest, EveryShortPrintableTextReadsBack) {
  KvCrypt c(nullptr);
  std::string text;
  for (int a = 32; a < 127; ++a) {
    text.assign(1, static_cast<char>(a));
    ASSERT_EQ(text, Decrypted(&c, Encrypted(&c, text))) << text;
    for (int b = 32; b < 127; ++b) {
      text.assign({static_cast<char>(a), static_cast<char>(b)});
      std::string form = Encrypted(&c, text);
      ASSERT_EQ(2 + 2 * 4u, form.size());
      ASSERT_EQ(text, Decrypted(&c, form)) << text;
    }
  }
}

TEST(KvCryptTest, RandomPrintableTextsReadBack) {
  KvCrypt c(nullptr);
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> printable(32, 126);
  for (int length = 0; length <= 9; ++length) {
    for (int i = 0; i < 3000; ++i) {
      std::string text;
      for (int k = 0; k < length; ++k) text.push_back(static_cast<char>(printable(rng)));
      std::string form = Encrypted(&c, text);
      size_t padded = (length + 3) / 4 * 4;
      ASSERT_EQ(length == 0 ? 0u : 2 + 2 * padded, form.size()) << text;
      ASSERT_EQ(text, Decrypted(&c, form)) << text;
    }
  }
}
