/*
** uninitialised_room.h: an allocator for room whose elements are written
** before they are read.
**
** std::vector<double>'s resize writes a zero into every element, which
** for a fresh workspace's chain room (a doubling room per system, most of
** it never reached at the usual frequencies) costs a page fault per 4 KiB
** and the stores.  With this allocator resize leaves the new elements
** as the heap gave them; the owner promises to write each before reading
** it.
*/
#ifndef TOLVARIN_SIM_ENGINE_UNINITIALISED_ROOM_H
#define TOLVARIN_SIM_ENGINE_UNINITIALISED_ROOM_H

#include <memory>
#include <new>
#include <utility>
#include <vector>

template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
  /* Value-initialisation (resize's default) becomes default-
     initialisation: nothing for a double. */
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

/* Doubles written before they are read. */
using UninitialisedRoom = std::vector<double, UninitialisedAllocator<double>>;

#endif
