#pragma once

#include <filesystem>
#include <string>

#include "desktop/kind_catalogue.hpp"
#include "desktop/placements.hpp"

namespace vx::desktop {

struct EditorSetup {
  std::filesystem::path file;  // the placements file
  Placement placement;         // the widget as it was when the editor opened
  KindInfo kind;
  std::string extension;  // the vantorix-widgets program
};

// Runs a widget's editor, an ordinary window in the desktop's light or dark appearance, until
// it is closed (Escape closes it) or SIGTERM or SIGINT arrive; SIGUSR1 brings it to the front.
// Every change is saved at once through the placements file, which the running host follows;
// a change that cannot be saved stays in the window, which says so and offers to try again.
// Returns the exit status.
int runEditor(const EditorSetup& setup);

}  // namespace vx::desktop
