// The busy pointer over the program's windows, for the life of a BusyCursor.
// Showing it dispatches no window event.
#pragma once

class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};
