// Writes one of the shared files over and over, a new generation each time, until killed:
// "store_writer snapshot" or "store_writer push". The shared folder is found as always, from
// the environment. Generation g of each file is recognisable as a whole (see bulky_files.hpp).

#include <cstring>

#include "bulky_files.hpp"
#include "store/shared_store.hpp"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const bool snapshot = std::strcmp(argv[1], "snapshot") == 0;
  for (std::int64_t generation = 1;; ++generation) {
    if (snapshot) {
      vx::SharedStore::save(vx::testing::bulkySnapshot(generation));
    } else {
      vx::SharedStore::savePushRegistration(vx::testing::bulkyRegistration(generation));
    }
  }
}
