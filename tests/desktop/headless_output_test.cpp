#include "desktop/headless_output.hpp"

#include <fstream>

#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace vx::desktop
