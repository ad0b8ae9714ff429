/*
** toroid_cores.cpp: the core table.
**
** AL values, tolerances and bands are those of the toroid-core section
** of ../shared/references/parts-and-limits.md (its iron-powder table, its
** ferrite notes), where the sources it names are given.  The sizes are
** not in that section: they come from hobbyist copies of the makers'
** tables (vk6ysf.com "Toroidal iron core inductor design" for T-37, T-50,
** T-68, T-80, T-200; stanslegacy.com "Core specifications" for the FT
** sizes) and are to be checked against the makers' catalogues; T-106 and
** T-130 are unconfirmed.  A T size's first number is its outer diameter
** in hundredths of an inch.
*/
#include "sim/design/toroid_cores.h"

#include <cassert>

namespace {

enum { kMix2 = 0, kMix6, kMix10, kMix17, kMix43, kMix61 };

const double kMmPerInch = 25.4;

}  // namespace

/* parts-and-limits.md, toroid cores: "The maker states AL within +/-8 %"
   (Micrometals, "Tolerances") for iron powder; Fair-Rite's drawings give
   +/-20 % for mix 43; nothing is given for mix 61. */
const ToroidMaterial kToroidMaterials[] = {
    /* mix 2: "about 0.25 to 10 MHz" (secondary sources, the references say) */
    {"mix 2", kIronPowder, 0.1, 0.25, 10.0, 8.0, "Micrometals"},
    /* mix 6: "about 3 to 40 MHz" (secondary sources) */
    {"mix 6", kIronPowder, 0.1, 3.0, 40.0, 8.0, "Micrometals"},
    /* mixes 10 and 17: "for higher bands (ranges not confirmed)" */
    {"mix 10", kIronPowder, 0.1, 0.0, 0.0, 8.0, "Micrometals"},
    {"mix 17", kIronPowder, 0.1, 0.0, 0.0, 8.0, "Micrometals"},
    /* mix 43: "lossy above a few MHz (chokes and transformers, not tuned
       coils)": no band a tuned coil is chosen for */
    {"mix 43", kFerrite, 1.0, 0.0, 0.0, 20.0, "Fair-Rite"},
    /* mix 61: no tolerance published; mix 43's taken (unconfirmed) */
    {"mix 61", kFerrite, 1.0, 0.0, 0.0, 20.0, "unconfirmed, as mix 43"},
};
const int kToroidMaterialCount = sizeof kToroidMaterials / sizeof kToroidMaterials[0];

/* Smallest first within each material: the chooser takes the first that
   serves.  AL from parts-and-limits.md, toroid cores; sizes as the
   file's head says. */
const ToroidCore kToroidCores[] = {
    /* iron powder, AL uH per 100 turns: the references' table */
    {"T-37-2", kMix2, 40, 0.37 * kMmPerInch, 0.21 * kMmPerInch, 0.12 * kMmPerInch},
    {"T-50-2", kMix2, 49, 0.50 * kMmPerInch, 0.30 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-68-2", kMix2, 57, 0.68 * kMmPerInch, 0.37 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-80-2", kMix2, 55, 0.80 * kMmPerInch, 0.50 * kMmPerInch, 0.25 * kMmPerInch},
    {"T-106-2", kMix2, 135, 1.06 * kMmPerInch, 0.57 * kMmPerInch, 0.44 * kMmPerInch},
    {"T-130-2", kMix2, 110, 1.30 * kMmPerInch, 0.78 * kMmPerInch, 0.44 * kMmPerInch},
    {"T-200-2", kMix2, 120, 2.00 * kMmPerInch, 1.25 * kMmPerInch, 0.55 * kMmPerInch},
    {"T-37-6", kMix6, 30, 0.37 * kMmPerInch, 0.21 * kMmPerInch, 0.12 * kMmPerInch},
    {"T-50-6", kMix6, 40, 0.50 * kMmPerInch, 0.30 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-68-6", kMix6, 47, 0.68 * kMmPerInch, 0.37 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-80-6", kMix6, 45, 0.80 * kMmPerInch, 0.50 * kMmPerInch, 0.25 * kMmPerInch},
    {"T-106-6", kMix6, 116, 1.06 * kMmPerInch, 0.57 * kMmPerInch, 0.44 * kMmPerInch},
    {"T-130-6", kMix6, 96, 1.30 * kMmPerInch, 0.78 * kMmPerInch, 0.44 * kMmPerInch},
    {"T-200-6", kMix6, 100, 2.00 * kMmPerInch, 1.25 * kMmPerInch, 0.55 * kMmPerInch},
    {"T-37-10", kMix10, 25, 0.37 * kMmPerInch, 0.21 * kMmPerInch, 0.12 * kMmPerInch},
    {"T-50-10", kMix10, 31, 0.50 * kMmPerInch, 0.30 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-68-10", kMix10, 32, 0.68 * kMmPerInch, 0.37 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-80-10", kMix10, 32, 0.80 * kMmPerInch, 0.50 * kMmPerInch, 0.25 * kMmPerInch},
    {"T-37-17", kMix17, 15, 0.37 * kMmPerInch, 0.21 * kMmPerInch, 0.12 * kMmPerInch},
    {"T-50-17", kMix17, 18, 0.50 * kMmPerInch, 0.30 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-68-17", kMix17, 21, 0.68 * kMmPerInch, 0.37 * kMmPerInch, 0.19 * kMmPerInch},
    {"T-80-17", kMix17, 22, 0.80 * kMmPerInch, 0.50 * kMmPerInch, 0.25 * kMmPerInch},
    /* ferrite, AL mH per 1000 turns: the lower figure of each range, Fair-Rite's
       drawings 5943000301 (FT-50), 5943000601 (FT-82), 5943001001 (FT-114);
       FT-37-43's range (350 to 420) names no source: its lower end taken */
    {"FT-37-43", kMix43, 350, 9.5, 4.7, 3.2},
    {"FT-50-43", kMix43, 440, 12.7, 7.1, 4.8},
    {"FT-82-43", kMix43, 470, 21.0, 13.0, 6.4},
    {"FT-114-43", kMix43, 510, 29.0, 19.0, 7.5},
    /* mix 61: secondary sources only (check); FT-82's 73 to 75, the lower */
    {"FT-37-61", kMix61, 55, 9.5, 4.7, 3.2},
    {"FT-50-61", kMix61, 68, 12.7, 7.1, 4.8},
    {"FT-82-61", kMix61, 73, 21.0, 13.0, 6.4},
    {"FT-114-61", kMix61, 79, 29.0, 19.0, 7.5},
};
const int kToroidCoreCount = sizeof kToroidCores / sizeof kToroidCores[0];

int CoreByName(const std::string& name) {
  for (int i = 0; i < kToroidCoreCount; i++)
    if (name == kToroidCores[i].Name) return i;
  return -1;
}

std::string CoreNameList() {
  std::string out;
  for (int i = 0; i < kToroidCoreCount; i++)
    out += std::string(i ? ", " : "") + kToroidCores[i].Name;
  return out;
}

double AlNh(const ToroidCore& c) {
  assert(c.Material >= 0 && c.Material < kToroidMaterialCount);
  return c.Al * kToroidMaterials[c.Material].NhPerAl;
}

bool CoreCovers(const ToroidCore& c, double mhz) {
  const ToroidMaterial& m = kToroidMaterials[c.Material];
  return m.HighMHz > 0.0 && mhz >= m.LowMHz && mhz <= m.HighMHz;
}
