#include "ui/bitmap.hpp"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/process.hpp"
#include "support/scratch.hpp"

namespace vx::ui {
namespace {

class BitmapFiles : public ::testing::Test {
 protected:
  testing::ScratchFolder scratch_;
  const std::filesystem::path folder_ = scratch_.path();
};

TEST_F(BitmapFiles, LoadsAPngAndNothingFromWhatIsNotOne) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
  ASSERT_EQ(cairo_surface_write_to_png(surface, (folder_ / "icon.png").c_str()),
            CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(surface);
  auto loaded = Bitmap::loadPng((folder_ / "icon.png").string());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->width(), 3);
  EXPECT_EQ(loaded->height(), 2);

  std::ofstream(folder_ / "broken.png") << "\x89PNG not really";
  EXPECT_EQ(Bitmap::loadPng((folder_ / "broken.png").string()), nullptr);
  EXPECT_EQ(Bitmap::loadPng((folder_ / "missing.png").string()), nullptr);
  std::filesystem::create_directory(folder_ / "folder.png");
  EXPECT_EQ(Bitmap::loadPng((folder_ / "folder.png").string()), nullptr);
  // A link to a good image is no image: it could show any picture of the user's.
  std::filesystem::create_symlink(folder_ / "icon.png", folder_ / "linked.png");
  EXPECT_EQ(Bitmap::loadPng((folder_ / "linked.png").string()), nullptr);
}

// Decoded images are kept for the next drawing, but only while the same file stands there: one
// put in its place (as the favicon store does, by renaming) or written over is read again, and
// what a link replaced is no image.
TEST_F(BitmapFiles, AKeptImageLastsAsLongAsItsFile) {
  const auto icon = folder_ / "icon.png";
  auto writePng = [&](const std::filesystem::path& file, int width) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, 2);
    ASSERT_EQ(cairo_surface_write_to_png(surface, file.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
  };
  writePng(icon, 3);
  const auto first = Bitmap::loadPng(icon.string());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Bitmap::loadPng(icon.string()), first);

  writePng(folder_ / "next.png", 5);
  std::filesystem::rename(folder_ / "next.png", icon);
  const auto renamed = Bitmap::loadPng(icon.string());
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(renamed->width(), 5);

  writePng(icon, 7);  // written over in place: same inode, another size and time
  const auto rewritten = Bitmap::loadPng(icon.string());
  ASSERT_NE(rewritten, nullptr);
  EXPECT_EQ(rewritten->width(), 7);

  std::filesystem::remove(icon);
  EXPECT_EQ(Bitmap::loadPng(icon.string()), nullptr);
  writePng(folder_ / "elsewhere.png", 9);
  std::filesystem::create_symlink(folder_ / "elsewhere.png", icon);
  EXPECT_EQ(Bitmap::loadPng(icon.string()), nullptr);
}

TEST_F(BitmapFiles, AFifoInPlaceOfAPictureIsRefusedWithoutWaiting) {
  const auto fifo = folder_ / "favicon-x.png";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Loaded apart, so that a load that blocks ends as a failure instead of hanging the tests.
  EXPECT_TRUE(
      testing::answersInChild([&] { return Bitmap::loadPng(fifo.string()) == nullptr; }, 20));
}

}  // namespace
}  // namespace vx::ui
