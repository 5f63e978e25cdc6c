// Reversible scrambling of stored passwords with a fixed four-byte key: keeps
// values from being read at a glance; not a cipher. The scrambled form is two
// decimal digits of padding count followed by two upper-case hexadecimal
// digits per byte of the scrambled, padded text.
#pragma once

class KvCrypt {
 public:
  // The first four bytes of key, or the built-in key when key is null.
  explicit KvCrypt(const char* key = nullptr);

  // New string (caller frees); "" for an empty text.
  char* Encrypt(const char* text);
  // New string (caller frees); "" for input that is not in scrambled form.
  char* Decrypt(const char* text);
  // out[i] = in[i] XOR key for each of the words; its own inverse.
  void crypt(unsigned int* in, unsigned int* out, int words);

 private:
  unsigned int key;
};
