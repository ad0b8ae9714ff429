/*
** empty_main.cpp: a C++ program that does nothing, the floor the
** process benchmarks measure tolvarin-sim's start-up against.  Built
** twice: alone, and linked with libngspice as tolvarin-sim once was.
*/
int main() {
  return 0;
}
