/*
** wire_table.h: the two screens of solid copper wire gauges.
*/
#ifndef TOLVARIN_COILS_WIRE_TABLE_H
#define TOLVARIN_COILS_WIRE_TABLE_H

void WireTable();

#endif
