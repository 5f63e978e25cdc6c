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
}

// Every printable text of up to two characters, and many random longer ones.
TEST(KvCryptTest, PrintableTextsReadBack) {
  KvCrypt c(nullptr);
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> printable(32, 126);
  for (int length = 0; length <= 9; ++length) {
    int rounds = length == 0 ? 1 : length == 1 ? 95 : length == 2 ? 95 * 95 : 3000;
    for (int i = 0; i < rounds; ++i) {
      std::string text;
      if (length <= 2) {
        for (int k = 0, n = i; k < length; ++k, n /= 95) text.push_back(static_cast<char>(32 + n % 95));
      } else {
        for (int k = 0; k < length; ++k) text.push_back(static_cast<char>(printable(rng)));
      }
      std::string form = Encrypted(&c, text);
      ASSERT_EQ(length == 0 ? 0u : 2 + 2 * ((length + 3) / 4 * 4u), form.size()) << text;
      ASSERT_EQ(text, Decrypted(&c, form)) << text;
    }
  }
}
