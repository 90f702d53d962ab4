#include <string>
#include <vector>

#include "desktop/command_line.hpp"

int main(int argc, char** argv) {
  return vx::desktop::runCommandLine(std::vector<std::string>(argv, argv + argc));
}
