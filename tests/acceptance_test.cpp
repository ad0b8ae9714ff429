/*
** Whole sessions in the scripted mode against their expected transcripts.
**
** Each tests/acceptance/sessions/NAME.keys is a script of keys and typed
** numbers; tests/acceptance/expected/NAME.txt is the complete transcript
** the program must print for it, start-up clear included.  The expected
** transcripts are not the program's output: tests/acceptance/model.py
** works every screen out a second time, from the design equations and
** the screen layouts, and the acceptance_model test checks that it still
** gives exactly these files.  Between them the sessions visit every page
** and every key of every page (tests/acceptance/README.md lists what each
** one covers).
**
** Every session runs twice: in process through the memory console, and as
** the built program with the script on its standard input.
*/
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/page_rows.h"
#include "tests/test_support.h"

namespace {

const char* const kSessions[] = {"main_menu",  "coil_editor", "alternate",   "sweep",
                                 "wire_table", "help",        "end_of_entry"};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string AcceptancePath(const std::string& name) {
  return std::string(TOLVARIN_SOURCE_DIR) + "/tests/acceptance/" + name;
}

/* A line as the failure message shows it: a form feed made visible. */
std::string Show(const std::string& line) {
  std::string out;
  for (char c : line) out += c == '\f' ? std::string("<FF>") : std::string(1, c);
  return out;
}

/* Empty when the two transcripts are the same, else where they first part:
   the line number (counting form feeds as they fall), a few lines of
   context and the two versions of the differing line. */
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  const std::vector<std::string> want = Lines(expected), got = Lines(actual);
  size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i]) i++;
  std::ostringstream msg;
  msg << "first difference at line " << i + 1 << " (expected " << want.size() << " lines, got "
      << got.size() << ")\n";
  for (size_t k = i >= 4 ? i - 4 : 0; k < i; k++) msg << "    " << Show(want[k]) << "\n";
  msg << "  expected: " << (i < want.size() ? Show(want[i]) : "<end of transcript>") << "\n";
  msg << "  got:      " << (i < got.size() ? Show(got[i]) : "<end of transcript>") << "\n";
  if (i == want.size() && i == got.size()) msg << "  (the line ends differ)\n";
  return msg.str();
}

class Acceptance : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    keys_ = ReadFile(AcceptancePath(std::string("sessions/") + GetParam() + ".keys"));
    expected_ = ReadFile(AcceptancePath(std::string("expected/") + GetParam() + ".txt"));
    ASSERT_FALSE(keys_.empty()) << "no session " << GetParam();
    ASSERT_FALSE(expected_.empty()) << "no expected transcript for " << GetParam();
  }
  std::string keys_, expected_;
};

TEST_P(Acceptance, InProcess) {
  /* The program clears the screen once at start-up, before the loop that
     RunSession runs. */
  const std::string difference = FirstDifference(expected_, "\f" + RunSession(keys_));
  EXPECT_TRUE(difference.empty()) << GetParam() << ".keys in process: " << difference;
}

TEST_P(Acceptance, Binary) {
  int status = -1;
  const std::string difference = FirstDifference(expected_, RunBinary(keys_, &status));
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(difference.empty()) << GetParam() << ".keys through the program: " << difference;
}

INSTANTIATE_TEST_SUITE_P(Sessions, Acceptance, testing::ValuesIn(kSessions),
                         [](const testing::TestParamInfo<const char*>& p) {
                           return std::string(p.param);
                         });

/* The rows a window needs to show the tallest page whole, as the program
   tells a smaller window: every screen of every session fits them (its
   lines and the row the cursor waits on, where a number is typed), and
   some screen needs all of them. */
TEST(AcceptanceScreens, TheTallestPageNeedsTheRowsTheProgramSays) {
  size_t tallest = 0;
  for (const char* name : kSessions) {
    const std::string transcript =
        ReadFile(AcceptancePath(std::string("expected/") + name + ".txt"));
    for (const std::string& screen : Screens(transcript)) {
      size_t rows = size_t(std::count(screen.begin(), screen.end(), '\n')) + 1;
      EXPECT_LE(rows, size_t(kTallestPageRows)) << name << ":\n" << screen;
      tallest = std::max(tallest, rows);
    }
  }
  EXPECT_EQ(tallest, size_t(kTallestPageRows));
}

/* The comparison itself: it must find a difference anywhere, also in the
   last line or in a missing line end. */
TEST(AcceptanceCompare, FindsEveryKindOfDifference) {
  EXPECT_EQ(FirstDifference("a\nb\n", "a\nb\n"), "");
  EXPECT_NE(FirstDifference("a\nb\n", "a\nc\n").find("expected: b\n  got:      c"),
            std::string::npos);
  EXPECT_NE(FirstDifference("a\nb\n", "a\n").find("<end of transcript>"), std::string::npos);
  EXPECT_NE(FirstDifference("a\nb\n", "a\nb"), "");
  EXPECT_NE(FirstDifference("a\fb\n", "a\nb\n").find("expected: a<FF>b"), std::string::npos);
}

}  // namespace
