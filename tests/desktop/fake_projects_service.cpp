// The fake service for the editor's window test, as a program: the project list holds COUNT
// projects, named "<fruit><number>.example"; every other request is not found. Prints the base
// address, then serves until its standard input ends.
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "support/fake_service.hpp"

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::stoi(argv[1]) : 200;
  const char* fruits[] = {"apple", "banana", "cherry", "damson", "elder", "fig", "grape", "kiwi"};
  nlohmann::json data = nlohmann::json::array();
  for (int i = 1; i <= count; ++i) {
    const std::string slug = "project-" + std::to_string(i);
    data.push_back({{"uuid", "uuid-" + slug},
                    {"slug", slug},
                    {"domain", fruits[i % 8] + std::to_string(i) + ".example"}});
  }
  vx::testing::FakeService fake;
  fake.on("GET", "/v1/projects", vx::testing::Answer{200, nlohmann::json{{"data", data}}.dump()});
  std::cout << fake.baseUrl() << std::endl;
  for (std::string line; std::getline(std::cin, line);) {
  }
  return 0;
}
