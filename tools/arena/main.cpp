#include "cli.h"

#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return pod::arena::runArena(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
