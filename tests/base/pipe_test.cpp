// The pipe's two owned ends.

#include <string>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "base/pipe.hpp"

namespace vx::base {
namespace {

TEST(PipeTest, WhatIsWrittenComesOutAndClosingTheWriteEndEndsIt) {
  Pipe pipe = Pipe::open();
  for (const FileDescriptor* end : {&pipe.readEnd, &pipe.writeEnd}) {
    EXPECT_EQ(::fcntl(end->get(), F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
  }
  ASSERT_EQ(::write(pipe.writeEnd.get(), "line\n", 5), 5);
  EXPECT_EQ(pipe.writeEnd.close(), 0);
  char buffer[16];
  EXPECT_EQ(::read(pipe.readEnd.get(), buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "line\n");
  EXPECT_EQ(::read(pipe.readEnd.get(), buffer, sizeof buffer), 0);
}

}  // namespace
}  // namespace vx::base
