/*
** After start-up the program allocates nothing: a whole session through
** every page and every kind of entry must not call malloc once.  malloc,
** calloc and realloc are interposed in this test program to count the
** calls (operator new goes through malloc too).
*/
#include <gtest/gtest.h>

#include <cstddef>

#include "app/design_pass.h"
#include "app/main_loop.h"
#include "console/console.h"

#if defined(__SANITIZE_ADDRESS__)
#define TOLVARIN_COUNT_ALLOCATIONS 0 /* the sanitizer owns malloc */
#else
#define TOLVARIN_COUNT_ALLOCATIONS 1
#endif

#if TOLVARIN_COUNT_ALLOCATIONS
namespace {
bool counting = false;
long allocations = 0;
}  // namespace

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);

void* malloc(size_t n) {
  if (counting) allocations++;
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
  if (counting) allocations++;
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
  if (counting) allocations++;
  return __libc_realloc(p, n);
}
}
#endif

TEST(NoAllocation, WholeSessionThroughEveryPage) {
#if !TOLVARIN_COUNT_ALLOCATIONS
  GTEST_SKIP() << "AddressSanitizer replaces malloc; counted in the plain build";
#else
  static const char keys[] =
      "f3.5\n p5\n v24\n q3\n r60\n o0.1\n o-1\n r0\n" /* every input, two refused */
      "ccu30\n cld1.5\n c x cln20\n "                  /* coil editor: choke, form, turns */
      "ab2\n p3\n b9\n  z"                             /* alternate page, both ratios */
      "bnzn z"                                         /* sweep pages, notch both ways */
      "w  h       hx"                                  /* wire table, help, help left early */
      "r10\n cmd2\n  bnz z \x1b[A x";                  /* separate coils, arrow key, exit */
  static char out[1 << 20];
  static DesignState s;
  ConsoleUseMemory(keys, sizeof keys - 1, out, sizeof out);
  SetStartValues(s);
  counting = true;
  RunMainLoop(s);
  counting = false;
  EXPECT_EQ(allocations, 0);
  /* The session really went everywhere. */
  const std::string text(out,
                         ConsoleOutputLength() < sizeof out ? ConsoleOutputLength() : sizeof out);
  for (const char* page :
       {"ALTERNATE TOPOLOGIES", "[BASIC] POWER", "[PINET] POWER", "AWG(solid)",
        "Press any key to exit References", "Select Coil to Change", "Rload 0 refused"})
    EXPECT_NE(text.find(page), std::string::npos) << page;
#endif
}
