// KvCrypt: XOR scrambling of stored passwords with a four-byte key, written
// as a padding count and upper-case hexadecimal.

#include "KvCrypt.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "String.h"

namespace {

const char kBuiltInKey[] = "7162";
const char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

KvCrypt::KvCrypt(const char* k) : key(0) {
  char bytes[4] = {0, 0, 0, 0};
  const char* source = k ? k : kBuiltInKey;
  memcpy(bytes, source, strnlen(source, 4));
  memcpy(&key, bytes, 4);
}

void KvCrypt::crypt(unsigned int* in, unsigned int* out, int words) {
  for (int i = 0; i < words; ++i) out[i] = in[i] ^ key;
}

namespace {

// Applies KvCrypt::crypt to a byte buffer whose size is a multiple of 4.
void CryptBytes(KvCrypt* c, std::vector<char>* bytes) {
  size_t words = bytes->size() / 4;
  if (words == 0) return;
  std::vector<unsigned int> w(words);
  memcpy(w.data(), bytes->data(), words * 4);
  c->crypt(w.data(), w.data(), static_cast<int>(words));
  memcpy(bytes->data(), w.data(), words * 4);
}

}  // namespace

char* KvCrypt::Encrypt(const char* text) {
  if (text == nullptr || *text == '\0') return strdup("");
  size_t n = strlen(text);
  size_t p = (4 - n % 4) % 4;
  std::vector<char> padded(p, 'p');
  padded.insert(padded.end(), text, text + n);
  CryptBytes(this, &padded);
  std::string out = "0";
  out.push_back(static_cast<char>('0' + p));
  for (char ch : padded) {
    unsigned char b = static_cast<unsigned char>(ch);
    out.push_back(kHexDigits[b >> 4]);
    out.push_back(kHexDigits[b & 15]);
  }
  return strdup(out.c_str());
}

char* KvCrypt::Decrypt(const char* text) {
  if (StringIsEmpty(text)) return strdup("");
  size_t len = strlen(text);
  if (len < 2 || (len - 2) % 8 != 0) return strdup("");
  size_t bytes = (len - 2) / 2;
  std::vector<char> buf(bytes + 4, '\0');
  int p = Convert(text, buf.data());
  // Only a padding count the scrambler can write is accepted.
  if (p < 0 || p > 3 || static_cast<size_t>(p) > bytes) return strdup("");
  buf.resize(bytes);
  CryptBytes(this, &buf);
  return strdup(std::string(buf.data() + p, bytes - static_cast<size_t>(p)).c_str());
}
