/*
** status.h: how a step of the simulator that can fail says how it went.
**
** Every fallible function of tolvarin-sim returns a Status, and every
** record that holds the outcome of such a step holds one: either done,
** or failed with one line saying why, in words a designer reads.  A
** Status made without a word is "not run": a record whose step has not
** happened never reads as done.
*/
#ifndef TOLVARIN_SIM_CIRCUIT_STATUS_H
#define TOLVARIN_SIM_CIRCUIT_STATUS_H

#include <cassert>
#include <string>
#include <utility>

class [[nodiscard]] Status {
 public:
  Status() : why_("not run") {}

  static Status Done() { return Status(std::string()); }

  /* why: one line, not empty. */
  static Status Failed(std::string why) {
    assert(!why.empty() && why.find('\n') == std::string::npos);
    return Status(std::move(why));
  }

  bool Ok() const { return why_.empty(); }

  /* The reason, "" when done. */
  const std::string& Why() const { return why_; }

 private:
  explicit Status(std::string why) : why_(std::move(why)) {}
  std::string why_;
};

#endif
