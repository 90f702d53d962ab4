#include "widgets/end_if_replaced.hpp"

#include <gtest/gtest.h>

#include "support/scratch.hpp"

namespace vx::widgets {
namespace {

using testing::bundleInfoPlist;
using testing::writeFile;

// The decision behind ending a replaced process; ending itself is tested on the real program.
class ReplacedOnDiskTest : public ::testing::Test {
 protected:
  testing::ScratchFolder scratch_;
  const std::filesystem::path plist_ = scratch_.path() / "x.bundle" / "Contents" / "Info.plist";
};

TEST_F(ReplacedOnDiskTest, AnotherVersionOnDiskMeansReplaced) {
  writeFile(plist_, bundleInfoPlist("test.widgets", "8"));
  EXPECT_TRUE(replacedOnDisk("7", plist_));
  // Exact text comparison: equal numbers written differently still differ.
  EXPECT_TRUE(replacedOnDisk("07", plist_));
}

TEST_F(ReplacedOnDiskTest, SameVersionIsNotReplaced) {
  writeFile(plist_, bundleInfoPlist("test.widgets", "7"));
  EXPECT_FALSE(replacedOnDisk("7", plist_));
}

TEST_F(ReplacedOnDiskTest, ProcessLaunchedWithoutVersionNeverCountsAsReplaced) {
  writeFile(plist_, bundleInfoPlist("test.widgets", "8"));
  EXPECT_FALSE(replacedOnDisk(std::nullopt, plist_));
}

TEST_F(ReplacedOnDiskTest, UnreadableOrVersionlessFileLeavesProcessRunning) {
  EXPECT_FALSE(replacedOnDisk("7", plist_));                                       // missing
  writeFile(plist_, "<plist><dict><key>CFBundleVersion</key><string>8</string>");  // cut short
  EXPECT_FALSE(replacedOnDisk("7", plist_));
  writeFile(plist_, bundleInfoPlist("test.widgets", std::nullopt));
  EXPECT_FALSE(replacedOnDisk("7", plist_));
  writeFile(plist_, "<plist><dict><key>CFBundleVersion</key><integer>8</integer></dict></plist>");
  EXPECT_FALSE(replacedOnDisk("7", plist_));
}

}  // namespace
}  // namespace vx::widgets
