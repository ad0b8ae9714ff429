/*
** coil_table.cpp: the coil table of the main design screen, one row per
** coil in circuit.  Every row label is nine characters wide so the
** columns line up; USE is always four gauges thinner than AWGMIN.
*/
#include "coils/coil_table.h"

#include "console/console.h"

namespace {

void PrintRow(const char* label, const CoilRecord& c) {
  Print("%s%8.2f%8.2f%8.2f%8.1f  #%2i (#%2i)%6.0f%6.2f%6.2f%6.2f\n", label, double(c.Uhy),
        double(c.Dia), double(c.Len), double(c.Nturns), int(c.AWGMIN), int(c.AWGMIN + 4),
        double(c.Qu), double(c.Rac), double(c.Rdc), double(c.Pdiss));
}

}  // namespace

void CoilTable(const DesignState& s, CoilTableForm form) {
  Print("\n");
  Print("COIL      L-uhy   Dia-in   Len-in   Turns  AWGMIN(USE) Qu   Rac   Rdc   Pdiss\n");
  PrintRow("Choke-Lp1", s.Coils[kChokeLp1]);
  if (form == kCoilTableSeparate) {
    PrintRow("Tune-Ls2 ", s.Coils[kTuneLs2]);
    PrintRow("Match-Ls3", s.Coils[kMatchLs3]);
  } else {
    PrintRow("Ls2+Ls3  ", s.Coils[kLs2PlusLs3]);
  }
}
