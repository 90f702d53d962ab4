// The owned descriptor: closed exactly once, by whoever holds it last.

#include <cerrno>
#include <type_traits>
#include <utility>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "base/file_descriptor.hpp"

namespace vx::base {
namespace {

static_assert(!std::is_copy_constructible_v<FileDescriptor>);
static_assert(!std::is_copy_assignable_v<FileDescriptor>);
static_assert(std::is_nothrow_move_constructible_v<FileDescriptor>);
static_assert(std::is_nothrow_move_assignable_v<FileDescriptor>);

bool isOpen(int fd) {
  return ::fcntl(fd, F_GETFD) != -1;
}
int openNull() {
  return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

TEST(FileDescriptorTest, TheLastHolderClosesItOnce) {
  int fd = -1;
  {
    FileDescriptor first(openNull());
    fd = first.get();
    FileDescriptor second(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_TRUE(isOpen(fd));
    FileDescriptor third;
    third = std::move(second);
    EXPECT_EQ(third.get(), fd);
    EXPECT_TRUE(isOpen(fd));
  }
  EXPECT_FALSE(isOpen(fd));
}

TEST(FileDescriptorTest, MovingInClosesWhatWasHeld) {
  FileDescriptor held(openNull());
  const int previous = held.get();
  held = FileDescriptor(openNull());
  EXPECT_NE(held.get(), previous);
  EXPECT_FALSE(isOpen(previous));
}

TEST(FileDescriptorTest, ReleasedIsLeftOpenAndClosedReportsOnce) {
  FileDescriptor released(openNull());
  const int fd = released.release();
  EXPECT_FALSE(released.valid());
  EXPECT_TRUE(isOpen(fd));

  FileDescriptor closed(fd);
  EXPECT_EQ(closed.close(), 0);
  EXPECT_FALSE(isOpen(fd));
  EXPECT_EQ(closed.close(), 0);  // nothing held any more: nothing to close

  FileDescriptor stale(fd);  // already closed behind the owner's back
  EXPECT_EQ(stale.close(), EBADF);
}

}  // namespace
}  // namespace vx::base
