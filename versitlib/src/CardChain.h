// A chain of cards being built in order through their `next` links. The
// chain owns its cards until Release, so an error part-way through reading
// leaves nothing behind.
#pragma once

#include "VCard.h"

class CardChain {
 public:
  CardChain() = default;
  CardChain(const CardChain&) = delete;
  CardChain& operator=(const CardChain&) = delete;
  ~CardChain() { DeleteAll(head); }

  // Takes ownership of card and links it last.
  void Append(VCard* card) {
    *tail = card;
    tail = &card->next;
  }
  // The first card; the caller owns the chain from then on.
  VCard* Release() {
    VCard* first = head;
    head = nullptr;
    tail = &head;
    return first;
  }

  // Deletes card and every card linked after it, without recursion.
  static void DeleteAll(VCard* card) {
    while (card != nullptr) {
      VCard* doomed = card;
      card = doomed->next;
      delete doomed;
    }
  }

 private:
  VCard* head = nullptr;
  VCard** tail = &head;
};
