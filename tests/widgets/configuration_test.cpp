#include <gtest/gtest.h>

#include "host/host_platform.hpp"
#include "widgets/intents.hpp"
#include "widgets/kinds.hpp"
#include "widgets/period_option.hpp"
#include "widgets/providers.hpp"

namespace vx::widgets {
namespace {

using Outcome = refresh::Fetcher::Outcome;

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

TEST_F(KindsTest, PushHandlerOnlyFromPlatformVersion26) {
  host::platform::setVersion(25);
  for (const WidgetKind& kind : VantorixWidgets::body()) EXPECT_EQ(kind.pushHandler, nullptr);
  host::platform::setVersion(26);
  const auto kinds = VantorixWidgets::body();
  EXPECT_EQ(kinds[0].kind, "ProjectSummaryWidget");
  for (const WidgetKind& kind : kinds) EXPECT_NE(kind.pushHandler, nullptr) << kind.kind;
}

}  // namespace
}  // namespace vx::widgets
