/*
** device_option.cpp: --device: the library's name first, so that a file
** called like a part does not hide it; then a file, read whole and
** checked key by key.
*/
#include "sim/cli/device_option.h"

#include <fstream>
#include <sstream>

#include "sim/design/device_json.h"
#include "sim/design/device_library.h"

Status ReadDeviceOption(const std::string& text, SimOptions& o) {
  if (text == "list") {
    o.DeviceList = true;
    return Status::Done();
  }
  if (const DeviceRecord* row = FindLibraryDevice(text)) {
    o.Device = *row;
    o.HasDevice = true;
    return Status::Done();
  }
  std::ifstream in(text, std::ios::binary);
  if (!in)
    return Status::Failed("'" + text +
                          "' is neither a device of the library (--device list) nor a readable "
                          "device file");
  std::ostringstream all;
  all << in.rdbuf();
  const Status st = ReadDeviceJson(all.str(), text, o.Device);
  if (!st.Ok()) return st;
  o.HasDevice = true;
  return Status::Done();
}
