/*
** coil_session.h: what the coil table's and the coil editor's tests share:
** a session whose screens must print no "nan" or "inf", its main screens,
** and the pieces of a screen they compare.
*/
#ifndef TOLVARIN_TESTS_COIL_SESSION_H
#define TOLVARIN_TESTS_COIL_SESSION_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support.h"

inline const std::string::size_type npos = std::string::npos;

/* A whole session run in process; no value it prints may be nan or inf.
 *final receives the design as the session left it, when given. */
inline std::string Session(const std::string& keys, DesignState* final = nullptr) {
  const std::string t = RunSession(keys, final);
  EXPECT_EQ(t.find("nan"), npos) << keys;
  EXPECT_EQ(t.find("inf"), npos) << keys;
  return t;
}

/* The main screens of a transcript, in order: the text after each form
   feed, leaving out the empty one of start-up. */
inline std::vector<std::string> MainScreens(const std::string& t) {
  std::vector<std::string> out;
  for (size_t at = t.find('\f'); at != npos; at = t.find('\f', at + 1)) {
    const size_t next = t.find('\f', at + 1);
    const std::string screen = t.substr(at + 1, next == npos ? npos : next - at - 1);
    if (!screen.empty()) out.push_back(screen);
  }
  return out;
}

/* The screen printed right after the first occurrence of marker. */
inline std::string ScreenAfter(const std::string& t, const std::string& marker) {
  const size_t at = t.find(marker);
  if (at == npos) return "(no " + marker + ")";
  const size_t start = t.find('\f', at);
  if (start == npos) return "(no screen after " + marker + ")";
  const size_t next = t.find('\f', start + 1);
  return t.substr(start + 1, next == npos ? npos : next - start - 1);
}

/* A screen up to the menu: what the design shows, without the prompts
   that follow it. */
inline std::string Body(const std::string& screen) {
  return screen.substr(0, screen.find("\nSelect letter"));
}

inline bool Has(const std::string& screen, const std::string& text) {
  return screen.find(text) != npos;
}

/* The choke's row of the start design once its DC loss is in. */
inline const char kChokeStart[] =
    "Choke-Lp1   26.30    1.00    1.00    39.1  #22 (#26)   192  3.27  0.42  0.02\n";

#endif
