/* console/console.cpp: not built yet; its owner replaces this file. */
#include "console/console.h"
#include <cstdarg>
#include <cstdio>
void ConsoleOpen() {}
void ConsoleClose() {}
void ConsoleUseMemory(const char*, size_t, char*, size_t) {}
size_t ConsoleOutputLength() { return 0; }
void ClearScreen() { std::fputs("\f", stdout); }
int ReadKey() { int c = std::getchar(); return c == EOF ? kKeyEnd : c; }
bool ReadNumber(float* f) { return std::scanf("%f", f) == 1; }
bool InputEnded() { return false; }
void Print(const char* fmt, ...) { va_list ap; va_start(ap, fmt); std::vprintf(fmt, ap); va_end(ap); }
