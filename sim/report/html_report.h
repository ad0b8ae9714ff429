/*
** html_report.h: the design report as one self-contained HTML page
** (--report FILE.html): no external file, font or script, the pictures
** inside it, so that it can be opened, printed or mailed as it is.
*/
#ifndef TOLVARIN_SIM_REPORT_HTML_REPORT_H
#define TOLVARIN_SIM_REPORT_HTML_REPORT_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

/* A picture of the report: its caption and SVG document; an inline one
   becomes part of the page (its text found by a search), the others are
   images of their own (data: addresses), so that their ids never meet. */
struct ReportFigure {
  std::string Caption;
  std::string Svg;
  bool Inline = false;
};

/* The page of a run titled `title`: the inputs, the schematic (the
   inline figures), the circuit's elements and losses, the figures of
   each drive frequency, the tuning, the analyses and the warnings (all
   read from the run's JSON document doc), then the other figures. */
std::string HtmlReport(const std::string& title, const nlohmann::json& doc,
                       const std::vector<ReportFigure>& figures);

/* The base64 form of bytes (RFC 4648, with padding). */
std::string Base64(const std::string& bytes);

#endif
