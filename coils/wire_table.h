/*
** wire_table.h: the two screens of solid copper wire gauges.
*/
#ifndef TOLVARIN_COILS_WIRE_TABLE_H
#define TOLVARIN_COILS_WIRE_TABLE_H

/* One row of the table: bare diameter (in), resistance per inch, foot and
   thousand feet at 68 degF (ohm), and the DC current that warms the wire
   by about 10 degC (A). */
struct WireRow {
  float Dia;
  float OhmsPerInch;
  float OhmsPerFoot;
  float OhmsPerKft;
  float Amps;
};

WireRow ComputeWireRow(int gauge);

/* Shows gauges 0..21, waits for a key, then 20..41, waits again. */
void WireTable();

#endif
