#pragma once

#include <cstddef>
#include <functional>

// Runs work on a worker thread and returns when it has ended, while the caller's thread keeps
// handling its events: the windows repaint and a Cancel button can be pressed meanwhile. Whatever
// should not be touched during the work must be kept from the user by the caller (a modal window).
void runInBackground(const std::function<void()>& work);

// Runs work on a worker thread and returns when it has ended, while the windows keep repainting; the
// user's clicks and keys wait until then and are handled after. For long computations that only read
// what no other event changes, or work on copies.
void runWhilePainting(const std::function<void()>& work);

// As runWhilePainting when the work covers at least a large library's worth of items (rows,
// records), else runs it here at once: a small job ends before a repaint would be due.
void runWhilePainting(size_t items, const std::function<void()>& work);

// Hands memory freed by long work back to the system: the allocator keeps what threads freed in
// arenas of their own, and a window that has run a few large commands would otherwise hold on to
// tens of megabytes it no longer uses.
void releaseFreedMemory();

// Lets the threads of the window's process allocate from two arenas. The window's worker threads are
// short helpers (loading, searching, word lists, sorting, exporting); with an arena each, what they
// free stays held in their arenas beside the library, about a twentieth of its size more memory.
// With a single arena, the two threads that read a large library take turns at its lock on every
// allocation, and the read is slower than on one thread. Called first thing in main().
void limitAllocatorArenas();
