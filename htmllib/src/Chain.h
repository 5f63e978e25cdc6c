// Helpers shared by the element tree's owned chains (sibling objects, an
// element's attributes): linking at the end and releasing a chain one item
// after another, so that a long chain does not recurse once per item.
#pragma once

#include <cstdlib>
#include <cstring>

namespace htmlchain {

// A heap copy of s (released with free()), or null for null.
inline char* CopyOrNull(const char* s) { return s ? strdup(s) : nullptr; }

// Links item after the last item of the chain that begins at *head.
template <typename T>
void AppendToChain(T** head, T* item, T* T::*link) {
  while (*head) head = &((*head)->*link);
  *head = item;
}

// Deletes the chain *rest and leaves *rest null; each item's link is
// cleared before it is deleted, so its destructor does not follow it.
template <typename T>
void DeleteChain(T** start, T* T::*link) {
  T* rest = *start;
  *start = nullptr;
  while (rest) {
    T* after = rest->*link;
    rest->*link = nullptr;
    delete rest;
    rest = after;
  }
}

}  // namespace htmlchain
