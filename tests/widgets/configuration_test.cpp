#include <gtest/gtest.h>

#include "host/host_platform.hpp"
#include "widgets/intents.hpp"
#include "widgets/kinds.hpp"
#include "widgets/period_option.hpp"
#include "widgets/providers.hpp"

namespace vx::widgets {
namespace {

using Outcome = refresh::Fetcher::Outcome;

TEST(PeriodOptionTest, RawValuesAndLabelsInOrder) {
  std::vector<std::pair<std::string_view, std::string_view>> seen;
  for (PeriodOption option : kAllPeriodOptions) seen.emplace_back(rawValue(option), label(option));
  EXPECT_EQ(seen,
            (std::vector<std::pair<std::string_view, std::string_view>>{{"days7", "7 days"},
                                                                        {"days28", "28 days"},
                                                                        {"days30", "30 days"},
                                                                        {"days90", "90 days"}}));
  for (PeriodOption option : kAllPeriodOptions) {
    EXPECT_EQ(periodOptionFromRaw(rawValue(option)), option);
  }
}

TEST(PeriodOptionTest, OtherRawValuesParseToNothing) {
  for (std::string_view raw : {"", "days14", "Days7", "7d", "days7 ", "days"}) {
    EXPECT_EQ(periodOptionFromRaw(raw), std::nullopt) << raw;
  }
}

// A period choice carrying a raw value that names no period, as a configuration stored by
// another build might.
struct StoredChoice {
  std::string raw;
};
std::string_view rawValue(const StoredChoice& choice) {
  return choice.raw;
}

TEST(PeriodResolutionTest, EachOptionGivesThePeriodOfTheSameRawValue) {
  EXPECT_EQ(resolvePeriod(PeriodOption::days7), WidgetPeriod::days7);
  EXPECT_EQ(resolvePeriod(PeriodOption::days28), WidgetPeriod::days28);
  EXPECT_EQ(resolvePeriod(PeriodOption::days30), WidgetPeriod::days30);
  EXPECT_EQ(resolvePeriod(PeriodOption::days90), WidgetPeriod::days90);
}

TEST(PeriodResolutionTest, UnknownRawValueFallsBackToSevenDays) {
  EXPECT_EQ(resolvePeriod(StoredChoice{"days90"}), WidgetPeriod::days90);
  EXPECT_EQ(resolvePeriod(StoredChoice{"days14"}), WidgetPeriod::days7);
  EXPECT_EQ(resolvePeriod(StoredChoice{""}), WidgetPeriod::days7);
}

TEST(IntentTest, DefaultsAreNoProjectSevenDaysAndDetailsShown) {
  EXPECT_EQ(ProjectSummaryIntent{}.project, std::nullopt);
  EXPECT_EQ(ProjectSummaryIntent{}.period, PeriodOption::days7);
  EXPECT_EQ(AllProjectsIntent{}.period, PeriodOption::days7);
  EXPECT_TRUE(WaitingIntent{}.showDetails);
  EXPECT_EQ(ProjectSummaryIntent::kTitle, "Project and period");
  EXPECT_EQ(AllProjectsIntent::kTitle, "Period");
  EXPECT_EQ(WaitingIntent::kTitle, "Needs you");
  EXPECT_EQ(WaitingIntent::kParameters[0].title, "Show names and messages");
}

TEST(OutcomeShownTest, FreshAndKeptLoadMessageSignedOutSignInMessage) {
  Snapshot snapshot;
  snapshot.projectCount = 1;
  EXPECT_EQ(shown(Outcome::fresh(snapshot)),
            (Shown{snapshot, "Open Vantorix to load your projects"}));
  EXPECT_EQ(shown(Outcome::kept(snapshot)),
            (Shown{snapshot, "Open Vantorix to load your projects"}));
  EXPECT_EQ(shown(Outcome::kept(std::nullopt)),
            (Shown{std::nullopt, "Open Vantorix to load your projects"}));
  EXPECT_EQ(shown(Outcome::signedOut()), (Shown{std::nullopt, "Open Vantorix to sign in"}));
}

class KindsTest : public ::testing::Test {
 protected:
  void TearDown() override { host::platform::setVersion(host::platform::kDefaultVersion); }
};

TEST_F(KindsTest, ThreeKindsInOrderWithTheirNamesAndFamilies) {
  using host::WidgetFamily;
  const auto kinds = VantorixWidgets::body();
  ASSERT_EQ(kinds.size(), 3u);
  EXPECT_EQ(kinds[0].kind, "ProjectSummaryWidget");
  EXPECT_EQ(kinds[0].displayName, "Project");
  EXPECT_EQ(kinds[0].description, "What your project's goal brought, and the visitors behind it");
  EXPECT_EQ(kinds[0].supportedFamilies,
            (std::vector{WidgetFamily::systemSmall, WidgetFamily::systemMedium}));
  EXPECT_EQ(kinds[1].kind, "AllProjectsWidget");
  EXPECT_EQ(kinds[1].displayName, "Projects");
  EXPECT_EQ(kinds[1].description, "Each project's goal and visitors side by side");
  EXPECT_EQ(kinds[1].supportedFamilies,
            (std::vector{WidgetFamily::systemMedium, WidgetFamily::systemLarge,
                         WidgetFamily::systemExtraLarge}));
  EXPECT_EQ(kinds[2].kind, "WaitingWidget");
  EXPECT_EQ(kinds[2].displayName, "Needs you");
  EXPECT_EQ(kinds[2].description,
            "Who to reply to and which articles to finish, across your projects");
  EXPECT_EQ(kinds[2].supportedFamilies,
            (std::vector{WidgetFamily::systemSmall, WidgetFamily::systemMedium,
                         WidgetFamily::systemLarge}));
}

TEST_F(KindsTest, PushHandlerOnlyFromPlatformVersion26) {
  host::platform::setVersion(25);
  for (const WidgetKind& kind : VantorixWidgets::body()) EXPECT_EQ(kind.pushHandler, nullptr);
  host::platform::setVersion(26);
  const auto kinds = VantorixWidgets::body();
  EXPECT_EQ(kinds[0].kind, "ProjectSummaryWidget");
  for (const WidgetKind& kind : kinds) EXPECT_NE(kind.pushHandler, nullptr) << kind.kind;
}

TEST(WidgetFamilyTest, SizesInPoints) {
  using host::WidgetFamily;
  EXPECT_EQ(host::size(WidgetFamily::systemSmall), (host::WidgetSize{170, 170}));
  EXPECT_EQ(host::size(WidgetFamily::systemMedium), (host::WidgetSize{364, 170}));
  EXPECT_EQ(host::size(WidgetFamily::systemLarge), (host::WidgetSize{364, 382}));
  EXPECT_EQ(host::size(WidgetFamily::systemExtraLarge), (host::WidgetSize{748, 382}));
  EXPECT_EQ(host::widgetFamilyFromRaw("systemExtraLarge"), WidgetFamily::systemExtraLarge);
  EXPECT_EQ(host::widgetFamilyFromRaw("small"), std::nullopt);
}

}  // namespace
}  // namespace vx::widgets
