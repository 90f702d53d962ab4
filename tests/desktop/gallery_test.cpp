#include <gtest/gtest.h>

#include "desktop/free_spots.hpp"
#include "desktop/gallery_placing.hpp"
#include "desktop/gallery_texts.hpp"

namespace vx::desktop {
namespace {

using host::WidgetFamily;
using Json = nlohmann::json;

KindInfo projectKind() {
  return kindsFromJson(Json::parse(R"([{"kind":"ProjectSummaryWidget","name":"Project",
    "description":"What your project's goal brought","families":["systemSmall","systemMedium"],
    "configuration":{"parameters":[{"name":"project","type":"Project","default":null},
      {"name":"period","type":"Period","default":"days7"}]}}])"))
      .front();
}

bool overlap(const Area& a, const Area& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(GalleryPlacing, EachChoiceLandsFreeOnTheWindowsMonitorWithTheKindsDefaults) {
  const Area monitor{1280, 0, 1024, 768};  // the second of two monitors
  const KindInfo kind = projectKind();
  Placements placements;
  // One already on the first monitor, one where the first free spot would be on this one.
  placements.widgets.push_back({"7", "WaitingWidget", WidgetFamily::systemLarge, {}, {16, 16}});
  placements.widgets.push_back({"x", "WaitingWidget", WidgetFamily::systemSmall, {}, {1296, 16}});
  const Placement small = placeAtFreeSpot(placements, kind, WidgetFamily::systemSmall, monitor);
  const std::string token = placements.pushToken;
  const Placement medium = placeAtFreeSpot(placements, kind, WidgetFamily::systemMedium, monitor);

  EXPECT_EQ(small.id, "8");
  EXPECT_EQ(medium.id, "9");
  EXPECT_EQ(token.size(), 64u) << "a first widget brings a push token";
  EXPECT_EQ(placements.pushToken, token) << "and the next keeps it";
  EXPECT_EQ(small.configuration, (Json{{"period", "days7"}}));
  EXPECT_EQ(placements.widgets.back(), medium);
  ASSERT_EQ(placements.widgets.size(), 4u);
  for (const Placement* placed : {&small, &medium}) {
    const Area area = areaOf(*placed);
    EXPECT_EQ(placed->kind, "ProjectSummaryWidget");
    EXPECT_TRUE(area.x >= monitor.x && area.y >= monitor.y &&
                area.x + area.width <= monitor.x + monitor.width &&
                area.y + area.height <= monitor.y + monitor.height)
        << placed->id << " off its monitor";
    for (const Placement& other : placements.widgets) {
      EXPECT_TRUE(other.id == placed->id || !overlap(area, areaOf(other)))
          << placed->id << " covers " << other.id;
    }
  }
  EXPECT_EQ(placedCount(placements, "ProjectSummaryWidget"), 2u);
  EXPECT_EQ(placedCount(placements, "AllProjectsWidget"), 0u);
}

TEST(GalleryPlacing, NoRoomLeavesThePlacementsAsTheyWere) {
  Placements placements;
  placements.widgets.push_back({"1", "WaitingWidget", WidgetFamily::systemSmall, {}, {16, 16}});
  const Placements before = placements;
  EXPECT_THROW(
      placeAtFreeSpot(placements, projectKind(), WidgetFamily::systemMedium, {0, 0, 300, 300}),
      NoRoom);
  EXPECT_EQ(placements.widgets, before.widgets);
  EXPECT_TRUE(placements.pushToken.empty());
}

TEST(GalleryTexts, PicturesAreNamedAndPlaceholdersSayWhy) {
  const KindInfo kind = projectKind();
  EXPECT_EQ(kind.description, "What your project's goal brought");
  EXPECT_EQ(familyLabel(kind, WidgetFamily::systemSmall), "Project, small");
  EXPECT_EQ(familyLabel(kind, WidgetFamily::systemExtraLarge), "Project, extra large");
  EXPECT_EQ(placedText(0), "None placed");
  EXPECT_EQ(placedText(1), "1 placed");
  EXPECT_EQ(placedText(12), "12 placed");

  const Json cached = {{"date", 1}, {"message", "m"}, {"snapshot", {{"projects", Json::array()}}}};
  const Json empty = {{"date", 1}, {"message", "m"}};
  EXPECT_EQ(previewSource(cached, false), PreviewSource::previews);
  EXPECT_EQ(previewSource(empty, true), PreviewSource::nothingCached);
  EXPECT_EQ(previewSource(empty, false), PreviewSource::signedOut);
  // A preview that failed (nothing, or not an entry) is no preview.
  EXPECT_EQ(previewSource(Json(), true), PreviewSource::nothingCached);
  EXPECT_EQ(previewSource({{"snapshot", nullptr}}, true), PreviewSource::nothingCached);
  EXPECT_FALSE(placeholderReason(PreviewSource::previews));
  EXPECT_NE(placeholderReason(PreviewSource::signedOut),
            placeholderReason(PreviewSource::nothingCached));
}

}  // namespace
}  // namespace vx::desktop
