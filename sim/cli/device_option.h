/*
** device_option.h: --device NAME|FILE read into the options.
*/
#ifndef TOLVARIN_SIM_CLI_DEVICE_OPTION_H
#define TOLVARIN_SIM_CLI_DEVICE_OPTION_H

#include <string>

#include "sim/circuit/status.h"
#include "sim/cli/sim_options.h"

/* "list", a part of the library by name, or the path of a device file:
   the record into o.Device, or o.DeviceList. */
Status ReadDeviceOption(const std::string& text, SimOptions& o);

#endif
