/*
** console_test.cpp: keys, typed numbers and output in the console's memory
** mode, and the same reading from a script on the real program's standard
** input.
**
** Expected floats were worked out with python3 from exact fractions: the
** nearest binary32 value, ties to even, found by exact comparison (no
** conversion through double).
*/
#include "console/console.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "tests/test_support.h"

namespace {

char gOut[1 << 16];
std::string gIn;

void UseMemory(const std::string& input, size_t cap = sizeof gOut) {
  gIn = input;
  ConsoleUseMemory(gIn.data(), gIn.size(), gOut, cap);
}

std::string Output() {
  size_t n = ConsoleOutputLength();
  return std::string(gOut, n < sizeof gOut ? n : sizeof gOut);
}

struct Entry {
  bool got;
  float value;
  int nextKey; /* the key read right after the entry */
};

/* One number entry over the text, starting from a field holding 7. */
Entry Enter(const std::string& text) {
  UseMemory(text);
  Entry e{false, 7.0f, 0};
  e.got = ReadNumber(&e.value);
  e.nextKey = ReadKey();
  return e;
}

TEST(ConsoleNumber, DecimalFormsAsStrtodReadsThem) {
  struct Case {
    const char* text;
    float value;
    int nextKey;
  } cases[] = {
      {"2.5e1\n", 25.0f, kKeyEnd},
      {"5.\n", 5.0f, kKeyEnd},
      {".5\n", 0.5f, kKeyEnd},
      {"-3\n", -3.0f, kKeyEnd},
      {"+.5e-1\n", 0x1.99999ap-5f, kKeyEnd}, /* 0.05 to nearest float */
      {"0.1\n", 0x1.99999ap-4f, kKeyEnd},
      {"2E+2\n", 200.0f, kKeyEnd},
      /* An 'e' without exponent digits is not part of the number, and
         the newline after it still ends the line: the next line is kept. */
      {"1e\nq", 1.0f, 'q'},
      {"1e+\nq", 1.0f, 'q'},
      {"1e-x\nq", 1.0f, 'q'},
      /* Only decimal: "0x10" is 0 and the rest of the line goes. */
      {"0x10\nq", 0.0f, 'q'},
      /* Blank lines are waited through. */
      {"  \n\n 7.25\nq", 7.25f, 'q'},
      {"\t\r\n\v\f 9\nq", 9.0f, 'q'},
      /* The rest of the line is discarded, its newline included. */
      {"12 34\nq", 12.0f, 'q'},
      {"3.5junk x\nq", 3.5f, 'q'},
      {"7\r\nq", 7.0f, 'q'},
      {"-0.000\nq", -0.0f, 'q'},
      /* A number ended by the end of input is a number. */
      {"4", 4.0f, kKeyEnd},
  };
  for (const Case& c : cases) {
    Entry e = Enter(c.text);
    EXPECT_TRUE(e.got) << c.text;
    EXPECT_EQ(e.value, c.value) << c.text;
    EXPECT_EQ(std::signbit(e.value), std::signbit(c.value)) << c.text;
    EXPECT_EQ(e.nextKey, c.nextKey) << c.text;
  }
}

TEST(ConsoleNumber, NonNumbersLeaveTheFieldAndDropTheLine) {
  const char* texts[] = {"abc\nq", "inf\nq", "nan\nq", "-inf\nq", "INFINITY\nq",
                         ".\nq",   "+\nq",   "-\nq",   "e5\nq",   "-.e1\nq",
                         "--3\nq", "+-3\nq", ". 5\nq", "x1\nq"};
  for (const char* t : texts) {
    Entry e = Enter(t);
    EXPECT_FALSE(e.got) << t;
    EXPECT_EQ(e.value, 7.0f) << t;
    EXPECT_EQ(e.nextKey, 'q') << t;
  }
}

TEST(ConsoleNumber, EndOfInputDuringEntryLeavesFieldThenKeysEnd) {
  for (const char* t : {"", "   ", " \n\n\t", "-", "+."}) {
    UseMemory(t);
    float v = 7.0f;
    EXPECT_FALSE(ReadNumber(&v)) << t;
    EXPECT_EQ(v, 7.0f) << t;
    /* The program goes on: the next screen is still written... */
    EXPECT_FALSE(InputEnded());
    Print("screen");
    EXPECT_EQ(Output(), "screen");
    /* ...and the next key is the end. */
    EXPECT_EQ(ReadKey(), kKeyEnd);
    EXPECT_TRUE(InputEnded());
  }
}

TEST(ConsoleNumber, RoundedOnceToFloat) {
  /* 1 + 2^-24 lies halfway between 1 and 1 + 2^-23.  A hair above it the
     nearest float is 1 + 2^-23; through double the hair is lost first and
     the tie then goes to the even 1. */
  EXPECT_EQ(Enter("1.00000005960464477539062500000001\n").value, 0x1.000002p0f);
  EXPECT_EQ(Enter("1.000000059604644775390625\n").value, 1.0f);
  /* 16777217 = 2^24 + 1 is halfway; ties go to the even 2^24. */
  EXPECT_EQ(Enter("16777217\n").value, 16777216.0f);
  /* Below the normal range: 1e-45 is nearest to 2^-149. */
  EXPECT_EQ(Enter("1e-45\n").value, 0x1p-149f);
}

TEST(ConsoleNumber, DigitsBeyondTheKeptOnesStillDecideRounding) {
  const std::string zeros200(200, '0');
  /* The halfway value of the first test, then 200 zeros and a 1 far
     beyond any digit kept: still above halfway. */
  EXPECT_EQ(Enter("1.000000059604644775390625" + zeros200 + "1\n").value, 0x1.000002p0f);
  EXPECT_EQ(Enter("1.000000059604644775390625" + zeros200 + "\n").value, 1.0f);
  EXPECT_EQ(Enter("16777217." + zeros200 + "1\n").value, 16777218.0f);
  /* (2^24 - 3) x 2^-150, the halfway point between (2^23 - 2) x 2^-149
     and (2^23 - 1) x 2^-149, exactly: 113 significant digits. */
  const std::string half =
      "0.0000000000000000000000000000000000000117549414062751785924617589866280818433124586473"
      "27962400313859427181746759860647699724722770042717456817626953125";
  EXPECT_EQ(Enter(half + "\n").value, 0x1.fffff8p-127f);
  EXPECT_EQ(Enter(half + std::string(20, '0') + "1\n").value, 0x1.fffffcp-127f);
}

TEST(ConsoleNumber, AbsurdlyLongNumbersAreReadWhole) {
  const std::string zeros(10000, '0');
  Entry e = Enter(zeros + "15\nq");
  EXPECT_EQ(e.value, 15.0f);
  EXPECT_EQ(e.nextKey, 'q');
  EXPECT_EQ(Enter("0." + zeros + "15e10001\n").value, 1.5f);
  EXPECT_EQ(Enter("1" + zeros + "e-10000\n").value, 1.0f);
  EXPECT_EQ(Enter("12" + zeros + "." + zeros + "e-10001\n").value, 1.2f);
  /* Exponents beyond any integer type. */
  EXPECT_EQ(Enter("1e-99999999999999999999999\n").value, 0.0f);
  EXPECT_EQ(Enter("0e99999999999999999999999\n").value, 0.0f);
  e = Enter("1e99999999999999999999999\nq");
  EXPECT_TRUE(std::isinf(e.value) && e.value > 0); /* as "%f" stores it */
  EXPECT_EQ(e.nextKey, 'q');
  EXPECT_TRUE(std::isinf(Enter("-1" + zeros + "\n").value));
  EXPECT_EQ(Enter("1e-50\n").value, 0.0f);
}

TEST(ConsoleKeys, EveryByteIsAKeyThenTheEndStays) {
  UseMemory(std::string("a\n b\x1b[A\xff\0", 9));
  const int expected[] = {'a', '\n', ' ', 'b', 27, '[', 'A', 0xff, 0};
  for (int k : expected) EXPECT_EQ(ReadKey(), k);
  EXPECT_FALSE(InputEnded());
  EXPECT_EQ(ReadKey(), kKeyEnd);
  EXPECT_TRUE(InputEnded());
  EXPECT_EQ(ReadKey(), kKeyEnd);
  float v = 3.0f;
  EXPECT_FALSE(ReadNumber(&v));
  EXPECT_EQ(v, 3.0f);
}

TEST(ConsoleKeys, NumberReadsOnFromTheKeys) {
  UseMemory("q3\nQ 4.5 x\nz");
  float v = 0.0f;
  EXPECT_EQ(ReadKey(), 'q');
  EXPECT_TRUE(ReadNumber(&v));
  EXPECT_EQ(v, 3.0f);
  EXPECT_EQ(ReadKey(), 'Q');
  EXPECT_TRUE(ReadNumber(&v));
  EXPECT_EQ(v, 4.5f);
  EXPECT_EQ(ReadKey(), 'z');
  EXPECT_EQ(ReadKey(), kKeyEnd);
}

TEST(ConsoleOutput, TextFormFeedAndNothingAfterTheEnd) {
  UseMemory("k");
  ClearScreen();
  Print("%s %d %0.2f %%\n", "ab", 12, 2.5);
  EXPECT_EQ(ReadKey(), 'k');
  Print("x");
  EXPECT_EQ(ReadKey(), kKeyEnd);
  Print("after the end");
  ClearScreen();
  EXPECT_EQ(Output(), "\fab 12 2.50 %\nx");
  EXPECT_EQ(ConsoleOutputLength(), 15u);
}

TEST(ConsoleOutput, CutSilentlyWhenFullButCounted) {
  std::memset(gOut, '#', sizeof gOut);
  UseMemory("", 5);
  Print("abc");
  Print("%s", "defg");
  Print("hij");
  ClearScreen();
  EXPECT_EQ(std::string(gOut, 6), "abcde#"); /* nothing beyond the capacity */
  EXPECT_EQ(ConsoleOutputLength(), 11u);

  std::memset(gOut, '#', sizeof gOut);
  UseMemory("", 5);
  Print("hello"); /* exactly full: the last byte is text, not a terminator */
  EXPECT_EQ(std::string(gOut, 6), "hello#");
  EXPECT_EQ(ConsoleOutputLength(), 5u);
}

TEST(ConsoleOutput, MemoryModeReArmsForEverySession) {
  for (int session = 0; session < 3; ++session) {
    UseMemory("ab");
    EXPECT_FALSE(InputEnded());
    EXPECT_EQ(ConsoleOutputLength(), 0u);
    EXPECT_EQ(ReadKey(), 'a');
    EXPECT_EQ(ReadKey(), 'b');
    EXPECT_EQ(ReadKey(), kKeyEnd);
    Print("gone");
    EXPECT_EQ(ConsoleOutputLength(), 0u);
  }
}

/* The program itself with a script on a pipe: the block reads must carry
   blanks and digits across any number of buffer refills. */
TEST(ConsoleScript, NumbersAcrossBlockReads) {
  std::string script = "q" + std::string(100000, ' ') + std::string(10, '\n') + "3.5\n";
  script += "q4" + std::string(70000, '0') + "e-70000 tail\n";
  script += "q\n19\nx";
  int status = -1;
  std::string out = RunBinary(script, &status);
  EXPECT_EQ(status, 0);
  size_t a = out.find("Enter Q <2.500000>");
  size_t b = out.find("Enter Q <3.500000>", a);
  size_t c = out.find("Enter Q <4.000000>", b);
  EXPECT_NE(a, std::string::npos);
  EXPECT_NE(b, std::string::npos);
  EXPECT_NE(c, std::string::npos);
  EXPECT_EQ(out.find('\x1b'), std::string::npos); /* only the program's own text */
}

TEST(ConsoleScript, EndOfInputEndsTheProgramWithStatusZero) {
  for (const char* script : {"", "q", "q 5"}) {
    int status = -1;
    std::string out = RunBinary(script, &status);
    EXPECT_EQ(status, 0) << script;
    EXPECT_NE(out.find("eXit\n"), std::string::npos) << script;
  }
}

}  // namespace
