/*
** device_library.cpp: the built-in transistors, one row of a table each,
** every value read from the datasheet the row's Source names.  A value
** the datasheet was not seen to give is absent (kAbsent), never filled
** in: the program then says what it assumes instead.  Where a sheet gives
** a typical and a maximum RDS(on), the row takes the maximum, as a design
** must; Coss is typical, as the sheets give it.
**
** The Coss tables of the three Vishay/IR parts are read off each sheet's
** capacitance figure (typical, up to about 50 V).  The GaN part's table
** has its first digitised point moved to 0 V.
*/
#include "sim/design/device_library.h"

#include <cctype>

namespace {

/* The most points a row's Coss curve has. */
const int kMaxCurve = 9;

struct CurvePoint {
  double Volts = 0.0, Pf = 0.0;
};

/* A row as written: values in the units of a device file. */
struct LibraryRow {
  const char* Name;
  const char* Maker;
  int Kind;
  const char* Source;
  double VdsMaxV = kAbsent, RonOhm = kAbsent;
  CurvePoint Coss[kMaxCurve] = {};
  int CossPoints = 0;
  double QgNc = kAbsent, VgsV = kAbsent, RiseNs = kAbsent, FallNs = kAbsent;
  double RthJcKPerW = kAbsent, RthJaKPerW = kAbsent, TjMaxC = kAbsent;
};

const LibraryRow kLibrary[] = {
    /* RDS(on) max at VGS 10 V; Qg max at 10 V; tr, tf typical. */
    {.Name = "IRF510",
     .Maker = "Vishay",
     .Kind = kSiMosfet,
     .Source = "Vishay IRF510 datasheet, doc 91015, Rev C 16-Nov-2015 and Rev D 02-Aug-2021",
     .VdsMaxV = 100.0,
     .RonOhm = 0.54,
     .Coss = {{1, 298},
              {2, 235},
              {5, 165},
              {10, 124},
              {20, 90},
              {25, 81},
              {30, 74},
              {40, 65},
              {50, 59}},
     .CossPoints = 9,
     .QgNc = 8.3,
     .VgsV = 10.0,
     .RiseNs = 16.0,
     .FallNs = 9.4,
     .RthJcKPerW = 3.5,
     .RthJaKPerW = 62.0,
     .TjMaxC = 175.0},
    /* RDS(on) max at VGS 10 V; Qg max, the drive it is given at not
       confirmed, so no gate power. */
    {.Name = "IRF610",
     .Maker = "Vishay",
     .Kind = kSiMosfet,
     .Source = "Vishay IRF610 datasheet, doc 91023, Rev C 02-Aug-2021",
     .VdsMaxV = 200.0,
     .RonOhm = 1.5,
     .Coss =
         {{1, 267}, {2, 205}, {5, 135}, {10, 95}, {20, 62}, {25, 53}, {30, 46}, {40, 37}, {50, 31}},
     .CossPoints = 9,
     .QgNc = 8.2,
     .RiseNs = 17.0,
     .FallNs = 8.9,
     .RthJcKPerW = 3.5,
     .RthJaKPerW = 62.0,
     .TjMaxC = 150.0},
    /* The curve reads 262 pF at 25 V against the sheet's table's 250. */
    {.Name = "IRF540N",
     .Maker = "International Rectifier (now Infineon)",
     .Kind = kSiMosfet,
     .Source = "International Rectifier IRF540N datasheet, PD-91341B, 03/13/01",
     .VdsMaxV = 100.0,
     .RonOhm = 0.044,
     .Coss = {{1, 1729},
              {2, 1295},
              {5, 823},
              {10, 518},
              {20, 289},
              {25, 262},
              {30, 250},
              {40, 235},
              {50, 216}},
     .CossPoints = 9,
     .QgNc = 71.0,
     .RiseNs = 35.0,
     .FallNs = 35.0,
     .RthJcKPerW = 1.15,
     .RthJaKPerW = 62.0,
     .TjMaxC = 175.0},
    /* Coss typical at 25 V (25 pF max); another maker's figures are not
       confirmed. */
    {.Name = "2N7000",
     .Maker = "onsemi (Fairchild)",
     .Kind = kSiMosfet,
     .Source = "onsemi 2N7000 datasheet, NDS7002A/D",
     .VdsMaxV = 60.0,
     .RonOhm = 5.0,
     .Coss = {{25, 11}},
     .CossPoints = 1},
    /* RDS(on) 5 ohm max (1.2 typical); Coss typical at 10 V, 1 MHz (30 pF
       max); RthJA in free air. */
    {.Name = "BS170",
     .Maker = "onsemi",
     .Kind = kSiMosfet,
     .Source = "onsemi BS170 datasheet, MMBF170/D, Rev 5, Sep 2017",
     .VdsMaxV = 60.0,
     .RonOhm = 5.0,
     .Coss = {{10, 17}},
     .CossPoints = 1,
     .RthJaKPerW = 150.0,
     .TjMaxC = 150.0},
    /* The values of a public device file that cites the sheet; its Co(tr)
       is 117 pF and Co(er) 73 pF at 400 V. */
    {.Name = "GS66506T",
     .Maker = "GaN Systems",
     .Kind = kGan,
     .Source = "GaN Systems GS66506T datasheet, GS66506T-DS-Rev-200402 (as a public device file "
               "cites it; the maker's sheet not read)",
     .VdsMaxV = 650.0,
     .Coss = {{0, 319}, {62, 222}, {104, 126}, {400, 48}},
     .CossPoints = 4},
};

const int kLibraryCount = sizeof kLibrary / sizeof kLibrary[0];

DeviceRecord RecordOf(const LibraryRow& row) {
  DeviceRecord r;
  r.Name = row.Name;
  r.Maker = row.Maker;
  r.Kind = row.Kind;
  r.Source = row.Source;
  r.VdsMaxV = row.VdsMaxV;
  r.RonOhm = row.RonOhm;
  for (int i = 0; i < row.CossPoints; i++)
    r.Coss.push_back({row.Coss[i].Volts, row.Coss[i].Pf * 1e-12});
  r.QgNc = row.QgNc;
  r.VgsV = row.VgsV;
  r.RiseNs = row.RiseNs;
  r.FallNs = row.FallNs;
  r.RthJcKPerW = row.RthJcKPerW;
  r.RthJaKPerW = row.RthJaKPerW;
  r.TjMaxC = row.TjMaxC;
  return r;
}

const std::vector<DeviceRecord>& Library() {
  static const std::vector<DeviceRecord> lib = [] {
    std::vector<DeviceRecord> out;
    for (const LibraryRow& row : kLibrary) out.push_back(RecordOf(row));
    return out;
  }();
  return lib;
}

std::string Upper(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

int DeviceLibraryCount() {
  return kLibraryCount;
}

const DeviceRecord& DeviceLibraryRow(int i) {
  return Library()[i];
}

const DeviceRecord* FindLibraryDevice(const std::string& name) {
  for (const DeviceRecord& r : Library())
    if (Upper(r.Name) == Upper(name)) return &r;
  return nullptr;
}
