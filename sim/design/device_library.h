/*
** device_library.h: the transistors tolvarin-sim knows by name.
*/
#ifndef TOLVARIN_SIM_DESIGN_DEVICE_LIBRARY_H
#define TOLVARIN_SIM_DESIGN_DEVICE_LIBRARY_H

#include <string>

#include "sim/design/device_record.h"

/* The library's rows, in the order --device list prints them. */
int DeviceLibraryCount();
const DeviceRecord& DeviceLibraryRow(int i);

/* The row of that name (as written, any case), or null. */
const DeviceRecord* FindLibraryDevice(const std::string& name);

#endif
