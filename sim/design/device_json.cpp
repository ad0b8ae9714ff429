/*
** device_json.cpp: a device file read into a record.  Each key is one
** row of a table: its name and the reader that checks its value and
** stores it.  A value is refused when it is of the wrong type, negative
** or not finite, when a curve's voltages do not rise or its capacitance
** rises with voltage; the refusal names the file and the key, so a user
** can find the line to mend.
*/
#include "sim/design/device_json.h"

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <regex>

namespace {

using Json = nlohmann::json;

/* Reads one key's value into the record; "" when good, else what is
   wrong with it. */
using KeyReader = std::string (*)(const Json& v, DeviceRecord& r);

std::string Text(const Json& v, std::string& to) {
  if (!v.is_string() || v.get<std::string>().empty()) return "is not a non-empty string";
  to = v.get<std::string>();
  return "";
}

/* A number at or above `low` (above it when `open`), or null. */
std::string Number(const Json& v, double& to, double low, bool open) {
  if (v.is_null()) {
    to = kAbsent;
    return "";
  }
  if (!v.is_number()) return "is not a number";
  const double x = v.get<double>();
  if (!std::isfinite(x)) return "is not finite";
  if (x < 0.0 && low >= 0.0) return "is negative";
  if (open ? !(x > low) : !(x >= low)) return "is out of range";
  to = x;
  return "";
}

std::string ReadName(const Json& v, DeviceRecord& r) {
  return Text(v, r.Name);
}
std::string ReadMaker(const Json& v, DeviceRecord& r) {
  return Text(v, r.Maker);
}
std::string ReadSource(const Json& v, DeviceRecord& r) {
  return Text(v, r.Source);
}

std::string ReadKind(const Json& v, DeviceRecord& r) {
  const int k = v.is_string() ? DeviceKindByName(v.get<std::string>()) : -1;
  if (k < 0) return "is not si-mosfet, gan or other";
  r.Kind = k;
  return "";
}

std::string ReadVdsMax(const Json& v, DeviceRecord& r) {
  return Number(v, r.VdsMaxV, 0.0, true);
}
std::string ReadRon(const Json& v, DeviceRecord& r) {
  return Number(v, r.RonOhm, 0.0, true);
}
std::string ReadTempco(const Json& v, DeviceRecord& r) {
  return Number(v, r.RonTempcoPerK, 0.0, false);
}
std::string ReadQg(const Json& v, DeviceRecord& r) {
  return Number(v, r.QgNc, 0.0, false);
}
std::string ReadVgs(const Json& v, DeviceRecord& r) {
  return Number(v, r.VgsV, 0.0, false);
}
std::string ReadRise(const Json& v, DeviceRecord& r) {
  return Number(v, r.RiseNs, 0.0, false);
}
std::string ReadFall(const Json& v, DeviceRecord& r) {
  return Number(v, r.FallNs, 0.0, false);
}
std::string ReadLead(const Json& v, DeviceRecord& r) {
  return Number(v, r.LeadNh, 0.0, false);
}
std::string ReadRth(const Json& v, DeviceRecord& r) {
  return Number(v, r.RthJcKPerW, 0.0, true);
}
std::string ReadTjMax(const Json& v, DeviceRecord& r) {
  return Number(v, r.TjMaxC, 0.0, true);
}

std::string ReadCossM(const Json& v, DeviceRecord& r) {
  const std::string bad = Number(v, r.CossM, 0.0, false);
  if (!bad.empty()) return bad;
  return Known(r.CossM) && r.CossM > 1.0 ? "is above 1" : "";
}

/* [[V, pF], ...]: voltages from 0 up, rising; capacitances above 0, not
   rising. */
std::string ReadCoss(const Json& v, DeviceRecord& r) {
  r.Coss.clear();
  if (v.is_null()) return "";
  if (!v.is_array() || v.empty()) return "is not a list of [V, pF] points";
  for (const Json& p : v) {
    if (!p.is_array() || p.size() != 2 || !p[0].is_number() || !p[1].is_number())
      return "is not a list of [V, pF] points";
    const double volts = p[0].get<double>(), pf = p[1].get<double>();
    if (!std::isfinite(volts) || !std::isfinite(pf)) return "has a value that is not finite";
    if (volts < 0.0 || pf < 0.0) return "has a negative value";
    if (pf == 0.0) return "has a capacitance of 0";
    if (!r.Coss.empty() && !(volts > r.Coss.back().Volts))
      return "has points out of order (voltages must rise)";
    if (!r.Coss.empty() && pf * 1e-12 > r.Coss.back().Farads)
      return "has a capacitance that rises with voltage";
    r.Coss.push_back({volts, pf * 1e-12});
  }
  return "";
}

/* {"is_A", "n", "rs_ohm"} of a junction, {"drop_V", "rs_ohm"} of a GaN
   part's reverse drop, or null for none. */
std::string ReadDiode(const Json& v, DeviceRecord& r) {
  r.HasDiode = false;
  r.Diode = DiodeRecord{};
  if (v.is_null()) return "";
  if (!v.is_object()) return "is not an object";
  const bool drop = v.contains("drop_V");
  const char* const junction[] = {"is_A", "n", "rs_ohm"};
  const char* const reverse[] = {"drop_V", "rs_ohm"};
  const size_t keys = drop ? 2 : 3;
  for (size_t i = 0; i < keys; i++) {
    const char* k = drop ? reverse[i] : junction[i];
    if (!v.contains(k)) return std::string("has no \"") + k + "\"";
  }
  if (v.size() != keys) return "has a key that is not is_A, n, rs_ohm (or drop_V, rs_ohm)";
  std::string bad = Number(v["rs_ohm"], r.Diode.RsOhm, 0.0, false);
  if (bad.empty() && drop) bad = Number(v["drop_V"], r.Diode.DropV, 0.0, true);
  if (bad.empty() && !drop) bad = Number(v["is_A"], r.Diode.IsA, 0.0, true);
  if (bad.empty() && !drop) bad = Number(v["n"], r.Diode.N, 0.0, true);
  if (!bad.empty()) return bad;
  r.HasDiode = drop ? Known(r.Diode.DropV) : Known(r.Diode.IsA) && Known(r.Diode.N);
  return "";
}

struct KeyRow {
  const char* Key;
  KeyReader Read;
};

const KeyRow kKeys[] = {
    {"name", ReadName},
    {"maker", ReadMaker},
    {"source", ReadSource},
    {"kind", ReadKind},
    {"vds_max_V", ReadVdsMax},
    {"ron_ohm", ReadRon},
    {"ron_tempco_per_K", ReadTempco},
    {"coss_pF", ReadCoss},
    {"coss_m", ReadCossM},
    {"diode", ReadDiode},
    {"qg_nC", ReadQg},
    {"vgs_V", ReadVgs},
    {"rise_ns", ReadRise},
    {"fall_ns", ReadFall},
    {"lead_nH", ReadLead},
    {"rth_jc_K_per_W", ReadRth},
    {"tj_max_C", ReadTjMax},
};

const int kKeyCount = sizeof kKeys / sizeof kKeys[0];

/* JSON has no infinity: a number too large for a double fails the whole
   text.  The key whose value holds the first such number, or "". */
std::string OverflowKey(const std::string& text) {
  static const std::regex number(R"([-+]?[0-9]+(\.[0-9]*)?([eE][-+]?[0-9]+)?)");
  static const std::regex key(R"re("([^"]+)"\s*:)re");
  for (std::sregex_iterator n(text.begin(), text.end(), number), end; n != end; ++n) {
    if (std::isfinite(std::strtod(n->str().c_str(), nullptr))) continue;
    std::string last;
    const std::string before = text.substr(0, n->position());
    for (std::sregex_iterator k(before.begin(), before.end(), key); k != end; ++k)
      last = (*k)[1].str();
    return last;
  }
  return "";
}

Status Refused(const std::string& file, const std::string& key, const std::string& why) {
  return Status::Failed(file + ": \"" + key + "\" " + why);
}

}  // namespace

Status ReadDeviceJson(const std::string& text, const std::string& file, DeviceRecord& out) {
  out = DeviceRecord{};
  const Json doc = Json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    const std::string key = OverflowKey(text);
    if (!key.empty()) return Refused(file, key, "is not finite");
    return Status::Failed(file + ": not JSON");
  }
  if (!doc.is_object()) return Status::Failed(file + ": not a JSON object of device keys");
  /* An unknown key first: a misspelt one would otherwise be reported as
     the right one missing. */
  for (auto it = doc.begin(); it != doc.end(); ++it) {
    bool known = false;
    for (const KeyRow& k : kKeys) known = known || it.key() == k.Key;
    if (!known) return Refused(file, it.key(), "is not a device key (misspelt?)");
  }
  for (const KeyRow& k : kKeys)
    if (!doc.contains(k.Key)) return Refused(file, k.Key, "is missing");
  for (const KeyRow& k : kKeys) {
    const std::string bad = k.Read(doc[k.Key], out);
    if (!bad.empty()) return Refused(file, k.Key, bad);
  }
  return Status::Done();
}
