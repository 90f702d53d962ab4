#pragma once

// Ends a request's connection the rude way: a TCP reset instead of an answer.

#include <httplib.h>

namespace vx::demo {

// Resets the connection `req` arrived on; false when its socket cannot be found.
bool resetConnection(const httplib::Request& req);

}  // namespace vx::demo
