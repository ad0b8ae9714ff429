/*
** html_report.cpp: the page.  Every section is read from the run's JSON
** document, so the report shows what --json shows, and a section added
** there (an analysis, a bill of materials) appears here drawn by the same
** generic rules: an object of plain values is a two-column table, a list
** of objects a table with a column per key, anything else nested under
** its heading.  Keys ending in a unit ("pout_W") are headed "pout (W)".
*/
#include "sim/report/html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>

#include "sim/circuit/format.h"

using nlohmann::json;

namespace {

/* Black on white, a serif text face of the reader's own, tables ruled
   for paper; pictures never wider than the page. */
const char* const kStyle =
    "body{font-family:Georgia,'Times New Roman',serif;color:#000;background:#fff;"
    "max-width:60em;margin:2em auto;padding:0 1em;line-height:1.4}"
    "h1{font-size:1.5em;border-bottom:2px solid #000;padding-bottom:.2em}"
    "h2{font-size:1.2em;margin-top:1.6em;border-bottom:1px solid #888}"
    "h3{font-size:1em}"
    "table{border-collapse:collapse;margin:.5em 0;font-size:.9em}"
    "th,td{border:1px solid #999;padding:.15em .5em;text-align:right}"
    "th{background:#eee}td:first-child,th:first-child{text-align:left}"
    "figure{margin:1em 0;page-break-inside:avoid}figcaption{font-style:italic}"
    "figure img,figure svg{max-width:100%;height:auto;border:1px solid #ccc}"
    ".warning{border-left:4px solid #000;padding-left:.5em}"
    "@media print{body{margin:0;max-width:none}h2{page-break-after:avoid}}";

/* "pout_W" as "pout (W)", "cap_q" as "cap q". */
std::string Heading(const std::string& key) {
  static const std::set<std::string> kUnits = {"W",  "V",   "A",  "MHz", "dBc", "ohm",
                                               "pF", "uH",  "nH", "Hz",  "dB",  "s",
                                               "ns", "pct", "mW", "kHz", "F",   "H"};
  std::string name = key, unit;
  const size_t us = key.rfind('_');
  if (us != std::string::npos && kUnits.count(key.substr(us + 1))) {
    name = key.substr(0, us);
    unit = key.substr(us + 1);
  }
  for (char& c : name)
    if (c == '_') c = ' ';
  return unit.empty() ? name : name + " (" + unit + ")";
}

std::string Plain(const json& v) {
  if (v.is_string()) return XmlEscaped(v.get<std::string>());
  if (v.is_boolean()) return v.get<bool>() ? "yes" : "no";
  if (v.is_number_integer() || v.is_number_unsigned()) return v.dump();
  if (v.is_number()) {
    const double d = v.get<double>();
    return std::isfinite(d) ? Format("%.6g", d) : "-";
  }
  if (v.is_null()) return "-";
  return XmlEscaped(v.dump());
}

bool IsPlain(const json& v) {
  return !v.is_object() && !v.is_array();
}

bool AllPlain(const json& v) {
  for (const json& e : v)
    if (!IsPlain(e) && !(e.is_array() && AllPlain(e))) return false;
  return true;
}

std::string PlainOrList(const json& v) {
  if (IsPlain(v)) return Plain(v);
  std::string s;
  for (const json& e : v) s += (s.empty() ? "" : ", ") + PlainOrList(e);
  return s;
}

std::string Render(const json& v, int depth);

/* A list of objects: a column per key, in the order first met. */
std::string RowsTable(const json& rows) {
  std::vector<std::string> keys;
  for (const json& r : rows)
    for (auto it = r.begin(); it != r.end(); ++it)
      if (std::find(keys.begin(), keys.end(), it.key()) == keys.end() &&
          AllPlain(json::array({it.value()})))
        keys.push_back(it.key());
  std::string s = "<table><tr>";
  for (const std::string& k : keys) s += "<th>" + XmlEscaped(Heading(k)) + "</th>";
  s += "</tr>\n";
  for (const json& r : rows) {
    s += "<tr>";
    for (const std::string& k : keys)
      s += "<td>" + (r.contains(k) ? PlainOrList(r[k]) : "") + "</td>";
    s += "</tr>\n";
  }
  return s + "</table>\n";
}

bool ListOfObjects(const json& v) {
  if (!v.is_array() || v.empty()) return false;
  for (const json& e : v)
    if (!e.is_object()) return false;
  return true;
}

/* True when v is an object of two or more objects (designs side by side). */
bool Comparable(const json& v) {
  if (!v.is_object() || v.size() < 2) return false;
  for (const json& m : v)
    if (!m.is_object()) return false;
  return true;
}

/* Objects side by side: a column per member; plain rows in one table,
   each nested key compared the same way under its heading. */
std::string ColumnsTable(const json& v, int depth) {
  std::vector<std::string> keys;
  for (const json& m : v)
    for (auto it = m.begin(); it != m.end(); ++it)
      if (std::find(keys.begin(), keys.end(), it.key()) == keys.end()) keys.push_back(it.key());
  std::string head = "<table><tr><th></th>", rows, nested;
  for (auto it = v.begin(); it != v.end(); ++it)
    head += "<th>" + XmlEscaped(Heading(it.key())) + "</th>";
  head += "</tr>\n";
  for (const std::string& k : keys) {
    json inner = json::object();
    bool plain = true;
    for (auto it = v.begin(); it != v.end(); ++it)
      if (it.value().contains(k)) {
        inner[it.key()] = it.value()[k];
        plain = plain && AllPlain(json::array({it.value()[k]}));
      }
    if (plain) {
      rows += "<tr><td>" + XmlEscaped(Heading(k)) + "</td>";
      for (auto it = v.begin(); it != v.end(); ++it)
        rows += "<td>" + (it.value().contains(k) ? PlainOrList(it.value()[k]) : "") + "</td>";
      rows += "</tr>\n";
    } else {
      const int h = std::min(depth + 3, 6);
      nested += Format("<h%d>", h) + XmlEscaped(Heading(k)) + Format("</h%d>\n", h) +
                Render(inner, depth + 1);
    }
  }
  return (rows.empty() ? "" : head + rows + "</table>\n") + nested;
}

std::string Render(const json& v, int depth) {
  if (IsPlain(v)) return "<p>" + Plain(v) + "</p>\n";
  if (Comparable(v)) return ColumnsTable(v, depth);
  if (ListOfObjects(v)) return RowsTable(v);
  if (v.is_array()) return "<p>" + PlainOrList(v) + "</p>\n";
  /* An object: its plain members as one table, then the others nested. */
  std::string table, nested;
  for (auto it = v.begin(); it != v.end(); ++it) {
    if (AllPlain(json::array({it.value()})))
      table += "<tr><td>" + XmlEscaped(Heading(it.key())) + "</td><td>" + PlainOrList(it.value()) +
               "</td></tr>\n";
    else
      nested += Format("<h%d>", std::min(depth + 3, 6)) + XmlEscaped(Heading(it.key())) +
                Format("</h%d>\n", std::min(depth + 3, 6)) + Render(it.value(), depth + 1);
  }
  return (table.empty() ? "" : "<table>\n" + table + "</table>\n") + nested;
}

std::string Section(const std::string& heading, const std::string& body) {
  return "<h2>" + XmlEscaped(heading) + "</h2>\n" + body;
}

/* The SVG without its XML declaration and document type, to sit in HTML. */
std::string InlineSvg(const std::string& svg) {
  const size_t at = svg.find("<svg");
  return at == std::string::npos ? "" : svg.substr(at);
}

std::string Figure(const ReportFigure& f) {
  const std::string picture = f.Inline ? InlineSvg(f.Svg)
                                       : "<img alt=\"" + XmlEscaped(f.Caption) +
                                             "\" src=\"data:image/svg+xml;base64," + Base64(f.Svg) +
                                             "\">";
  return "<figure>\n" + picture + "\n<figcaption>" + XmlEscaped(f.Caption) +
         "</figcaption>\n</figure>\n";
}

/* The run's sections in reading order; what the document lacks is left out. */
struct DocSection {
  const char* Key;
  const char* Heading;
};
const DocSection kSections[] = {
    {"elements", "Parts of the circuit"},
    {"losses", "Losses"},
    {"points", "Figures of each drive frequency"},
    {"confirm", "The same by ngspice"},
    {"designs", "Tuning"},
    {"tolerance", "Tolerance"},
    {"mismatch", "Load mismatch"},
    {"sensitivity", "Sensitivity"},
};

/* The elements as name, value and unit ("Cp1_pF": 367.1). */
std::string ElementsTable(const json& e) {
  std::string s = "<table><tr><th>part</th><th>value</th><th>unit</th></tr>\n";
  for (auto it = e.begin(); it != e.end(); ++it) {
    const size_t us = it.key().rfind('_');
    s += "<tr><td>" + XmlEscaped(it.key().substr(0, us)) + "</td><td>" + Plain(it.value()) +
         "</td><td>" + XmlEscaped(us == std::string::npos ? "" : it.key().substr(us + 1)) +
         "</td></tr>\n";
  }
  return s + "</table>\n";
}

}  // namespace

std::string Base64(const std::string& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned n = unsigned(uint8_t(bytes[i])) << 16 | unsigned(uint8_t(bytes[i + 1])) << 8 |
                       unsigned(uint8_t(bytes[i + 2]));
    out += {kDigits[n >> 18], kDigits[(n >> 12) & 63], kDigits[(n >> 6) & 63], kDigits[n & 63]};
  }
  if (i + 1 == bytes.size()) {
    const unsigned n = unsigned(uint8_t(bytes[i])) << 16;
    out += {kDigits[n >> 18], kDigits[(n >> 12) & 63], '=', '='};
  } else if (i + 2 == bytes.size()) {
    const unsigned n = unsigned(uint8_t(bytes[i])) << 16 | unsigned(uint8_t(bytes[i + 1])) << 8;
    out += {kDigits[n >> 18], kDigits[(n >> 12) & 63], kDigits[(n >> 6) & 63], '='};
  }
  return out;
}

std::string HtmlReport(const std::string& title, const json& doc,
                       const std::vector<ReportFigure>& figures) {
  std::string body = "<h1>" + XmlEscaped(title) + "</h1>\n";
  json inputs = doc.value("inputs", json::object());
  inputs["topology"] = doc.value("topology", "");
  inputs["engine"] = doc.value("engine", "");
  body += Section("Inputs", Render(inputs, 0));
  if (doc.contains("warnings") && !doc["warnings"].empty()) {
    std::string w;
    for (const json& line : doc["warnings"]) w += "<p class=\"warning\">" + Plain(line) + "</p>\n";
    body += Section("Warnings", w);
  }
  if (doc.contains("interrupted"))
    body += Section("Interrupted", "<p class=\"warning\">" + Plain(doc["interrupted"]) + "</p>\n");
  for (const ReportFigure& f : figures)
    if (f.Inline) body += Section(f.Caption, Figure(f));
  for (const DocSection& s : kSections) {
    if (!doc.contains(s.Key)) continue;
    body += Section(s.Heading, std::string(s.Key) == "elements" ? ElementsTable(doc[s.Key])
                                                                : Render(doc[s.Key], 0));
  }
  std::string plots;
  for (const ReportFigure& f : figures)
    if (!f.Inline) plots += Figure(f);
  if (!plots.empty()) body += Section("Plots", plots);
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
         XmlEscaped(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n" + body +
         "</body>\n</html>\n";
}
