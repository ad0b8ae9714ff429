/*
** device_json.h: a device record read from the text of a user's device
** file.
*/
#ifndef TOLVARIN_SIM_DESIGN_DEVICE_JSON_H
#define TOLVARIN_SIM_DESIGN_DEVICE_JSON_H

#include <string>

#include "sim/circuit/status.h"
#include "sim/design/device_record.h"

/* Reads `text`, the JSON of a device file: an object with exactly the
   keys the README lists.  A number may be null where the datasheet gives
   none.  Fails with one line naming the file (`file`) and the first key
   that is missing, unknown or wrong. */
Status ReadDeviceJson(const std::string& text, const std::string& file, DeviceRecord& out);

#endif
