/*
** session_check.cpp: see session_check.h.  Shared by the fuzzer and by
** the regression test that replays what the fuzzer kept.
*/
#include "tests/session_check.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

#include "app/design_pass.h"
#include "app/main_loop.h"
#include "console/console.h"

namespace {

char out[1 << 23];

/* printf writes a non-finite value as "nan", "-nan", "inf" or "-inf":
   look for those as whole words, so prose such as "infinite" in the help
   pages does not count. */
bool PrintsNonFinite(const char* text, size_t n) {
  for (const char* word : {"nan", "inf", "NAN", "INF"}) {
    for (size_t i = 0; i + 3 <= n; i++) {
      if (std::memcmp(text + i, word, 3) != 0) continue;
      const bool startsWord = i == 0 || !std::isalpha(static_cast<unsigned char>(text[i - 1]));
      const bool endsWord = i + 3 == n || !std::isalpha(static_cast<unsigned char>(text[i + 3]));
      if (startsWord && endsWord) return true;
    }
  }
  return false;
}

}  // namespace

const char* SessionFault(const char* input, size_t len) {
  static DesignState s;
  ConsoleUseMemory(input, len, out, sizeof out);
  s = DesignState{};
  SetStartValues(s);
  RunMainLoop(s);
  size_t n = ConsoleOutputLength();
  if (n > sizeof out) return "output larger than the session's bound";
  if (PrintsNonFinite(out, n)) return "a screen prints nan or inf";
  size_t screens = 0;
  for (size_t i = 0; i < n; i++) screens += out[i] == '\f';
  /* The help key opens up to seven pages at once; every other key draws
     at most two screens. */
  if (screens > 7 * len + 1) return "more screens than the keys account for";
  return nullptr;
}
