#include "desktop/headless_output.hpp"

#include <fstream>
#include <set>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "store/system_calls.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

const Placement kWidget{
    "7", "WaitingWidget", host::WidgetFamily::systemMedium, Json::object(), {5, 6}};

Json entryAt(std::int64_t ms) {
  return {{"date", ms}, {"message", "m"}};
}

// The extension's answer once it has drawn `entry` (and the image it drew).
Json drawn(const HeadlessOutput& output, const Json& entry) {
  const auto path = output.imagePath(kWidget, entry);
  std::ofstream(path) << "png";
  return {{"path", path.string()}, {"size", {364, 170}}, {"scale", 2}, {"links", Json::array()}};
}

std::set<std::string> listed(const testing::ScratchFolder& folder) {
  const auto names = testing::namesIn(folder.path());
  return {names.begin(), names.end()};
}

Json index(const testing::ScratchFolder& folder) {
  std::ifstream in(folder.path() / "index.json");
  return Json::parse(in);
}

TEST(HeadlessOutput, TheIndexNamesTheCurrentDrawingAndOldImagesGo) {
  testing::ScratchFolder folder;
  HeadlessOutput output(folder.path());
  output.show(kWidget, entryAt(1000), std::nullopt);
  output.writeIndex();
  Json record = index(folder)["widgets"][0];
  EXPECT_EQ(record["date"], 1000);
  EXPECT_FALSE(record.contains("image"));  // nothing drawn yet

  output.show(kWidget, entryAt(1000), drawn(output, entryAt(1000)));
  const std::string first = output.record("7")->at("image");
  // A new entry under way: the index keeps the drawing it has until the new one is in.
  output.show(kWidget, entryAt(2000), std::nullopt);
  output.writeIndex();
  record = index(folder)["widgets"][0];
  EXPECT_EQ(record["date"], 1000);
  EXPECT_EQ(record["image"], first);
  EXPECT_EQ(record["position"], Json({{"x", 5}, {"y", 6}}));

  output.show(kWidget, entryAt(2000), drawn(output, entryAt(2000)));
  output.writeIndex();
  record = index(folder)["widgets"][0];
  EXPECT_EQ(record["date"], 2000);
  EXPECT_NE(record["image"], first);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / first));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / record["image"].get<std::string>()));
}

// The extension does not flush its drawings; the index is flushed, so an image it names must
// be on disk before it does.
TEST(HeadlessOutput, ADrawingIsFlushedBeforeTheIndexNamesIt) {
  testing::ScratchFolder folder;
  HeadlessOutput output(folder.path());
  const Json answer = drawn(output, entryAt(1000));
  struct stat image {};
  ASSERT_EQ(::stat(answer["path"].get<std::string>().c_str(), &image), 0);

  static std::set<ino_t> flushed;
  flushed.clear();
  store::systemCalls().fsync = [](int fd) {
    struct stat status {};
    if (::fstat(fd, &status) == 0) flushed.insert(status.st_ino);
    return 0;
  };
  output.show(kWidget, entryAt(1000), answer);
  const bool flushedWhenShown = flushed.contains(image.st_ino);
  output.writeIndex();
  store::systemCalls() = store::realSystemCalls();
  EXPECT_TRUE(flushedWhenShown);
  const std::filesystem::path named = answer["path"].get<std::string>();
  EXPECT_EQ(index(folder)["widgets"][0]["image"], named.filename().string());
}

TEST(HeadlessOutput, AFailedDrawingOrARemovalLeavesNoStaleImage) {
  testing::ScratchFolder folder;
  HeadlessOutput output(folder.path());
  output.show(kWidget, entryAt(1000), drawn(output, entryAt(1000)));
  const std::string first = output.record("7")->at("image");
  output.show(kWidget, entryAt(2000), Json::object());  // the extension could not draw it
  EXPECT_FALSE(output.record("7")->contains("image"));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / first));

  output.show(kWidget, entryAt(3000), drawn(output, entryAt(3000)));
  const std::string third = output.record("7")->at("image");
  output.remove("7");
  output.writeIndex();
  EXPECT_TRUE(index(folder)["widgets"].empty());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / third));
}

TEST(HeadlessOutput, ALateDrawingIsDiscardedUnlessTheIndexNamesIt) {
  testing::ScratchFolder folder;
  HeadlessOutput output(folder.path());
  output.show(kWidget, entryAt(1000), drawn(output, entryAt(1000)));
  const auto shown = output.imagePath(kWidget, entryAt(1000));
  (void)drawn(output, entryAt(2000));
  output.discard(output.imagePath(kWidget, entryAt(2000)));
  output.discard(shown);  // the same entry drawn again, in another appearance
  std::ofstream(folder.path() / "notes.txt") << "the user's";
  output.discard(folder.path() / "notes.txt");
  EXPECT_EQ(listed(folder), (std::set<std::string>{shown.filename().string(), "notes.txt"}));
}

TEST(HeadlessOutput, TheSweepLeavesOnlyWhatTheIndexNamesAndWhatIsBeingDrawn) {
  testing::ScratchFolder folder;
  HeadlessOutput output(folder.path());
  output.show(kWidget, entryAt(1000), drawn(output, entryAt(1000)));
  const std::string shown = output.imagePath(kWidget, entryAt(1000)).filename();
  const std::string drawing = output.imagePath(kWidget, entryAt(2000)).filename();
  const std::string temporary = "." + drawing + ".Zz9Yy8";
  // Left by an earlier run or a killed writer; then what is not the host's, a link included.
  for (const char* name : {"widget-7-5.png", "widget-9--1.png", ".widget-7-5.png.Ab12Cd",
                           "notes.txt", "widget-7-.png", "widget-x.png", ".widget-7-5.png.tmp"}) {
    std::ofstream(folder.path() / name) << "png";
  }
  std::filesystem::create_symlink("notes.txt", folder.path() / "widget-8-2.png");
  std::ofstream(folder.path() / drawing) << "being drawn";
  std::ofstream(folder.path() / temporary) << "being drawn";
  output.sweep({(folder.path() / drawing).string()});
  EXPECT_EQ(listed(folder),
            (std::set<std::string>{shown, drawing, temporary, "notes.txt", "widget-7-.png",
                                   "widget-x.png", ".widget-7-5.png.tmp", "widget-8-2.png"}));
  EXPECT_EQ(testing::readFile(folder.path() / "notes.txt"), "png");
}

TEST(HeadlessOutput, ItsFolderAndIndexAreTheUsersAlone) {
  using std::filesystem::perms;
  testing::ScratchFolder scratch;
  const auto folder = scratch.path() / "out";
  HeadlessOutput output(folder);
  output.prepare();
  output.writeIndex();
  EXPECT_EQ(std::filesystem::status(folder).permissions(), perms::owner_all);
  EXPECT_EQ(std::filesystem::status(folder / "index.json").permissions(),
            perms::owner_read | perms::owner_write);
  std::filesystem::create_directory_symlink(folder, scratch.path() / "link");
  EXPECT_THROW(HeadlessOutput(scratch.path() / "link").prepare(), std::runtime_error);
  std::ofstream(scratch.path() / "file") << "not a folder";
  EXPECT_THROW(HeadlessOutput(scratch.path() / "file").prepare(), std::runtime_error);
}

}  // namespace
}  // namespace vx::desktop
