/*
** The coil table of the main design screen, driven end to end in the
** scripted mode: the table of each arrangement, and the Space pass that
** brings the choke's DC loss in.
**
** Expected rows come from an independent python re-computation of the
** written formulas with float32 stores, cross-checked by hand against
** Wheeler's formula (L = D^2 N^2 / (18 D + 40 Len)), Q = 143 D sqrt(f) /
** (1 + 0.45 D / Len) and published AWG diameters and resistances.
*/
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/coil_session.h"
#include "tests/test_support.h"

/* First screen: no DC current known yet, so the choke lacks its DC loss
   (0.0019 W); the Space pass adds Idc^2 Rdc = 0.0434 * 0.4235 W. */
TEST(CoilTable, StartDesignAndTheSpacePass) {
  const std::vector<std::string> s = MainScreens(Session("  x"));
  ASSERT_EQ(s.size(), 3u);
  EXPECT_TRUE(
      Has(s[0],
          "\nCOIL      L-uhy   Dia-in   Len-in   Turns  AWGMIN(USE) Qu   Rac   Rdc   Pdiss\n"
          "Choke-Lp1   26.30    1.00    1.00    39.1  #22 (#26)   192  3.27  0.42  0.00\n"
          "Ls2+Ls3      3.68    1.00    1.00    14.6  #14 (#18)   192  0.46  0.03  0.05\n"
          "\n"
          "Pwr Out = 2.35 watts=Pgen[2.50]-Pcoils[0.05]-Pcaps[0.02]-Pdev[0.08]\n"
          "Overall Eff.= 0.94   Device Eff.= 0.97   \n"))
      << s[0];
  EXPECT_TRUE(Has(s[1], std::string(kChokeStart) +
                            "Ls2+Ls3      3.68    1.00    1.00    14.6  #14 (#18)   192  0.46  "
                            "0.03  0.05\n"
                            "\n"
                            "Pwr Out = 2.34 watts=Pgen[2.50]-Pcoils[0.07]-Pcaps[0.02]-Pdev[0.08]\n"
                            "Overall Eff.= 0.93   Device Eff.= 0.97   \n"))
      << s[1];
  /* Only the lines the choke's DC loss enters differ. */
  const std::vector<std::string> a = Split(s[0], '\n'), b = Split(s[1], '\n');
  ASSERT_EQ(a.size(), b.size());
  std::vector<std::string> changed;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) changed.push_back(b[i].substr(0, 9));
  EXPECT_EQ(changed, (std::vector<std::string>{"Choke-Lp1", "Pwr Out =", "Overall E"}));
  EXPECT_EQ(s[2], s[1]);
}

/* After the entry's screen, Space: the choke's DC loss is in. */
TEST(CoilTable, LoadBelowRoShowsTheSeparateCoils) {
  const std::string s = Body(LastScreen(Session("r10\n x")));
  EXPECT_TRUE(Has(s, "Qmatch=1.230    Shunt  Cp2= 2050.2 pf   Series Ls3= 0.515 uh\n")) << s;
  EXPECT_TRUE(Has(s,
                  "          Lp1     Cp1     Cs2     Ls2     Cp3     Ls3      Rload\n"
                  "VRMS     15.10   15.10    7.82   19.81    7.92    6.15    5.00 \n"
                  "IRMS      0.02    0.16    0.32    0.32    0.39    0.50    0.50 \n"))
      << s;
  EXPECT_TRUE(Has(s, std::string(kChokeStart) +
                         "Tune-Ls2     2.63    1.00    1.00    12.4  #12 (#16)   192  0.33  0.01  "
                         "0.03\n"
                         "Match-Ls3    0.52    1.00    1.00     5.5  # 5 (# 9)   192  0.06  0.00  "
                         "0.02\n\n"))
      << s;
  EXPECT_FALSE(Has(s, "Ls2+Ls3  "));
}

/* 25.1221409 is Ro of the start design to float precision ("%.9g"), so
   the load equals Ro exactly: only the choke and the tuning coil remain,
   and Cp1 and Cs2 alone lose 0.0106 W (after Space, with the choke's DC
   loss). */
TEST(CoilTable, LoadEqualToRoShowsNoNetworkAndNoCoils) {
  const std::string s = Body(LastScreen(Session("r25.1221409\n x")));
  EXPECT_FALSE(Has(s, "EL-Matching"));
  EXPECT_FALSE(Has(s, "VRMS"));
  EXPECT_FALSE(Has(s, "IRMS"));
  EXPECT_FALSE(Has(s, "COIL"));
  EXPECT_TRUE(Has(s,
                  "Element Voltage and Current Estimate:(Includes EL-Match)\n"
                  "\n"
                  "Pwr Out = 2.35 watts=Pgen[2.50]-Pcoils[0.05]-Pcaps[0.01]-Pdev[0.08]\n"
                  "Overall Eff.= 0.94   Device Eff.= 0.97   \n"))
      << s;
}
