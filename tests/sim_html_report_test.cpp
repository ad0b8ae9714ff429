/*
** sim_html_report_test.cpp: the report page's own pieces: base64 by the
** RFC 4648 test vectors, text escaped so a part name or a warning cannot
** break the page, units read from the JSON keys, designs side by side.
*/
#include <gtest/gtest.h>

#include "sim/report/html_report.h"

TEST(SimHtmlReport, Base64IsTheRfcVectors) {
  /* RFC 4648, section 10. */
  const char* const cases[][2] = {{"", ""},
                                  {"f", "Zg=="},
                                  {"fo", "Zm8="},
                                  {"foo", "Zm9v"},
                                  {"foob", "Zm9vYg=="},
                                  {"fooba", "Zm9vYmE="},
                                  {"foobar", "Zm9vYmFy"}};
  for (const auto& c : cases) EXPECT_EQ(Base64(c[0]), c[1]) << c[0];
  /* Bytes above 127 are not sign-extended: 0xff 0xfe is "//4=". */
  EXPECT_EQ(Base64("\xff\xfe"), "//4=");
}

TEST(SimHtmlReport, PageIsEscapedSelfContainedAndReadsTheDocument) {
  nlohmann::json doc = {{"topology", "basic"},
                        {"engine", "exact"},
                        {"inputs", {{"freq_MHz", 3.8}, {"power_W", 2.5}}},
                        {"elements", {{"Cp1_pF", 367.1}}},
                        {"points", {{{"drive_MHz", 3.8}, {"pout_W", 2.49433}, {"vpk_V", 43.8584}}}},
                        {"designs",
                         {{"calculator", {{"point", {{"vpk_V", 46.343}}}}},
                          {"tuned", {{"point", {{"vpk_V", 43.8967}}}}}}},
                        {"warnings", {"choke <loss> & more"}}};
  const std::string page =
      HtmlReport("A <b> & \"c\"", doc,
                 {{"Schematic", "<?xml?><svg id=\"s\"></svg>", true}, {"Plot", "<svg/>", false}});
  /* The title and the warning appear escaped, never as markup. */
  EXPECT_NE(page.find("A &lt;b&gt; &amp; &quot;c&quot;"), std::string::npos);
  EXPECT_NE(page.find("choke &lt;loss&gt; &amp; more"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  /* Nothing to fetch: no script, no link; the inline SVG without its
     XML declaration; the other picture a data: image of its bytes. */
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<link"), std::string::npos);
  EXPECT_EQ(page.find("<?xml"), std::string::npos);
  EXPECT_NE(page.find("<svg id=\"s\"></svg>"), std::string::npos);
  EXPECT_NE(page.find("src=\"data:image/svg+xml;base64,PHN2Zy8+\""), std::string::npos);
  /* Keys with units become headed columns; the figures as %.6g. */
  EXPECT_NE(page.find("<th>pout (W)</th>"), std::string::npos);
  EXPECT_NE(page.find("<td>43.8584</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>freq (MHz)</td><td>3.8</td>"), std::string::npos);
  /* The designs side by side: one row of vpk with both values. */
  EXPECT_NE(page.find("<th>calculator</th><th>tuned</th>"), std::string::npos);
  EXPECT_NE(page.find("<td>vpk (V)</td><td>46.343</td><td>43.8967</td>"), std::string::npos);
  /* The schematic comes before the tables, the plots after them. */
  EXPECT_LT(page.find("<svg id=\"s\">"), page.find("<th>pout (W)</th>"));
  EXPECT_GT(page.find("data:image/svg+xml"), page.find("<th>pout (W)</th>"));
}
