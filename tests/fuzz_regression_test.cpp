/*
** Replays every input the fuzzer kept, and a few hand-made hostile ones,
** through a whole session: each must end, stay within its bound of
** screens, and print no "nan" or "inf".
*/
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/session_check.h"

namespace {

void ExpectClean(const std::string& input, const std::string& name) {
  const char* fault = SessionFault(input.data(), input.size());
  EXPECT_EQ(fault, nullptr) << name << ": " << (fault ? fault : "");
}

}  // namespace

TEST(FuzzRegression, KeptCorpusStaysClean) {
  const std::filesystem::path dir =
      std::filesystem::path(TOLVARIN_SOURCE_DIR) / "tests/fuzz/corpus";
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ExpectClean(input, entry.path().filename().string());
    replayed++;
  }
  EXPECT_GT(replayed, 0);
}

TEST(FuzzRegression, HostileEntries) {
  const char* inputs[] = {
      "v1e38\n p1e-38\n  x",          /* values at the edge of single precision */
      "p1e-45\n r1e-45\n x",          /* denormal power and load */
      "r1e38\nv3e19\n bnnnn  x",      /* huge load, then the sweep pages */
      "c l0\nc d-1\nc n0.0001\n x",   /* degenerate coil edits */
      "cu0\ncu1e38\n  x",             /* choke inductance at the extremes */
      "ab0\n b1e38\n p-1\n q x",      /* turns ratios out of range */
      "q1.8\nf500\np1e-30\n bn n  x", /* extremes of the design domain */
      "f0.5\nq20\nr1e-6\n an bnn w  hx",
  };
  for (const char* input : inputs) ExpectClean(input, input);
}
