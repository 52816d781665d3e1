#pragma once

#include <functional>

// Runs work on a worker thread and returns when it has ended, while the caller's thread keeps
// handling its events: the windows repaint and a Cancel button can be pressed meanwhile. Whatever
// should not be touched during the work must be kept from the user by the caller (a modal window).
void runInBackground(const std::function<void()>& work);
