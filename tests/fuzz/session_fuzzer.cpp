/*
** session_fuzzer.cpp: libFuzzer entry.  Feeds arbitrary byte streams to
** the whole program in scripted mode, in process, and aborts on any
** session that does not clear the bar of session_check.h.
*/
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/session_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = SessionFault(reinterpret_cast<const char*>(data), size)) {
    std::fprintf(stderr, "session fault: %s\n", fault);
    std::abort();
  }
  return 0;
}
