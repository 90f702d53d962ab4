#include "refresh/goal_figure.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "refresh/today_display.hpp"
#include "support/icu_defaults.hpp"

namespace vx::refresh {
namespace {

using ::testing::ElementsAre;
using Money = api::GoalResult::Money;
using Totals = api::GoalResult::Totals;

api::GoalResult moneyGoal(std::vector<Money> money) {
  api::GoalResult goal;
  goal.goal_id = "g1";
  goal.name = "Checkout";
  goal.kind = "sales";
  goal.value_mode = "revenue";
  goal.money = std::move(money);
  return goal;
}

api::GoalResult conversionsGoal(std::int64_t conversions) {
  api::GoalResult goal;
  goal.goal_id = "g2";
  goal.name = "Signup";
  goal.conversions = conversions;
  return goal;
}

class GoalFigureTest : public ::testing::Test {
 protected:
  vx::testing::IcuDefaults defaults_{"en_US", "UTC"};
};

TEST_F(GoalFigureTest, MoneyGoalShowsOneAmountPerCurrency) {
  api::GoalResult goal = moneyGoal({{"EUR", 120}, {"USD", 30}});
  goal.previous = Totals{std::nullopt, std::vector<Money>{{"EUR", 100}}};
  const GoalFigure figure = goalFigure(goal, std::nullopt);
  EXPECT_EQ(figure.name, "Revenue");
  EXPECT_EQ(figure.display, "\u20AC120 / $30.00");
  EXPECT_EQ(figure.value, 150);
  EXPECT_EQ(figure.change, std::nullopt);
  EXPECT_EQ(figure.series, std::nullopt);
  EXPECT_EQ(figure.previousSeries, std::nullopt);
}

TEST_F(GoalFigureTest, MoneyChangeNeedsOnePreviousAmountInTheSameCurrency) {
  api::GoalResult goal = moneyGoal({{"EUR", 150}});
  goal.previous = Totals{std::nullopt, std::vector<Money>{{"EUR", 100}}};
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, 50.0);

  goal.previous = Totals{std::nullopt, std::vector<Money>{{"USD", 100}}};
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, std::nullopt);

  goal.previous = Totals{std::nullopt, std::vector<Money>{{"EUR", 0}}};
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, std::nullopt);

  goal.previous = Totals{std::nullopt, std::vector<Money>{{"EUR", 100}, {"USD", 5}}};
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, std::nullopt);

  goal.previous = Totals{std::nullopt, std::vector<Money>{{std::nullopt, 100}}};
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, std::nullopt);
}

TEST_F(GoalFigureTest, MoneyChangeTreatsTwoAbsentCurrenciesAsEqual) {
  api::GoalResult goal = moneyGoal({{std::nullopt, 50}});
  goal.previous = Totals{std::nullopt, std::vector<Money>{{std::nullopt, 100}}};
  const GoalFigure figure = goalFigure(goal, std::nullopt);
  EXPECT_EQ(figure.change, -50.0);
  EXPECT_EQ(figure.display, "$50.00");
}

TEST_F(GoalFigureTest, MoneyGoalWithoutAmountsIsZeroDollars) {
  const GoalFigure figure = goalFigure(moneyGoal({}), std::nullopt);
  EXPECT_EQ(figure.display, "$0");
  EXPECT_EQ(figure.value, 0);
  api::GoalResult absent = moneyGoal({});
  absent.money.reset();
  EXPECT_EQ(goalFigure(absent, std::nullopt), figure);
}

TEST_F(GoalFigureTest, OnlySalesValuedByRevenueIsAMoneyGoal) {
  api::GoalResult goal = moneyGoal({{"USD", 500}});
  goal.conversions = 7;
  goal.value_mode = "Revenue";
  EXPECT_EQ(goalFigure(goal, std::nullopt).display, "7");
  goal.value_mode.reset();
  EXPECT_EQ(goalFigure(goal, std::nullopt).name, "Checkout");
}

TEST_F(GoalFigureTest, ConversionsChangeOnlyAgainstPreviousAboveZero) {
  api::GoalResult goal = conversionsGoal(30);
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, std::nullopt);
  goal.previous = Totals{0, std::nullopt};
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, std::nullopt);
  goal.previous = Totals{std::nullopt, std::nullopt};
  EXPECT_EQ(goalFigure(goal, std::nullopt).change, std::nullopt);
  goal.previous = Totals{20, std::nullopt};
  const GoalFigure figure = goalFigure(goal, std::nullopt);
  EXPECT_EQ(figure.change, 50.0);
  EXPECT_EQ(figure.value, 30);
  EXPECT_EQ(figure.display, "30");
  EXPECT_EQ(figure.name, "Signup");
}

TEST_F(GoalFigureTest, ConversionsGoalWithoutNameIsCalledGoal) {
  api::GoalResult goal = conversionsGoal(12345);
  goal.name.reset();
  const GoalFigure figure = goalFigure(goal, std::nullopt);
  EXPECT_EQ(figure.name, "Goal");
  EXPECT_EQ(figure.display, "12.3K");
}

TEST_F(GoalFigureTest, SeriesIsFilledOverTheGivenDays) {
  const DayBounds days{"2026-03-03", "2026-03-05"};
  api::GoalResult conversions = conversionsGoal(3);
  conversions.series = std::vector<api::GoalResult::Point>{
      {"2026-03-03", 1, 99.0}, {"2026-03-05T00:00:00Z", std::nullopt, 5.0}, {"2026-03-05", 2, 1.0}};
  EXPECT_THAT(*goalFigure(conversions, days).series, ElementsAre(1, 0, 2));

  api::GoalResult money = moneyGoal({{"USD", 10}});
  money.series = conversions.series;
  EXPECT_THAT(*goalFigure(money, days).series, ElementsAre(99, 0, 6));

  money.series.reset();
  EXPECT_THAT(*goalFigure(money, days).series, ElementsAre(0, 0, 0));
}

TEST_F(GoalFigureTest, TodayDisplayShowsVisitorsOrTheGoal) {
  api::Summary summary;
  summary.visitors = 12;
  EXPECT_EQ(todayDisplay(summary), "+12 today");
  summary.visitors = 1234;
  EXPECT_EQ(todayDisplay(summary), "+1,234 today");
  summary.visitors = 12345;
  EXPECT_EQ(todayDisplay(summary), "+12.3K today");
  summary.visitors = 0;
  EXPECT_EQ(todayDisplay(summary), std::nullopt);
  summary.visitors.reset();
  EXPECT_EQ(todayDisplay(summary), std::nullopt);

  summary.visitors = 50;
  summary.business = moneyGoal({{"USD", 840}});
  EXPECT_EQ(todayDisplay(summary), "+$840 today");
  summary.business = moneyGoal({});
  EXPECT_EQ(todayDisplay(summary), std::nullopt);  // the goal decides, not the visitors
}

}  // namespace
}  // namespace vx::refresh
