#include <string>
#include <vector>

#include "widget_host/command_line.hpp"

int main(int argc, char** argv) {
  return vx::widget_host::runCommandLine(std::vector<std::string>(argv, argv + argc));
}
