/*
** plain_main.cpp: a plain C++ program, one line written through the
** standard library's streams: the floor a C++ program's start-up stands
** on (the C++ library mapped and its streams set up), against which
** tolvarin-sim's own start-up is measured.
*/
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  const std::string word = argc > 1 ? argv[1] : "plain";
  std::cout << word << "\n";
  return 0;
}
