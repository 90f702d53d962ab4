#pragma once

#include <string>

#include "present/environment.hpp"
#include "ui/element.hpp"
#include "ui/text_style.hpp"
#include "views/project_summary_values.hpp"
#include "views/project_summary_view.hpp"

namespace vx::views {

// The pieces the summary view's three layouts are built from, for one view and its derived
// values.
class SummaryBlocks {
 public:
  SummaryBlocks(const ProjectSummaryView& view, const SummaryValues& values,
                const present::Environment& env)
      : view_(view), values_(values), env_(env) {}

  // The headline figure: the goal result when there is a goal, else the visitors; `suffix`
  // follows the label.
  [[nodiscard]] ui::Element lead(ui::Font font, const std::string& suffix) const;
  [[nodiscard]] ui::Element visitorsMetric(ui::Font font) const;
  // The goal's result under its name; only for a view with a goal.
  [[nodiscard]] ui::Element goalMetric(ui::Font font) const;
  // The goal's day bars (for the lead, with a goal), the visitors' curve (active, with at
  // least two days), or a row of empty days.
  [[nodiscard]] ui::Element chart(bool lead) const;
  // A metric above its chart, the chart at the size's fixed height at the bottom.
  [[nodiscard]] ui::Element tile(const ui::Element& metric, const ui::Element& chart) const;
  [[nodiscard]] ui::Element divider() const;
  [[nodiscard]] ui::Element note(const std::string& title, const std::string& text,
                                 const std::string& action) const;
  [[nodiscard]] ui::Element setGoal() const;
  [[nodiscard]] ui::Element checkTracking() const;
  [[nodiscard]] ui::Element nudge() const;

 private:
  const ProjectSummaryView& view_;
  const SummaryValues& values_;
  const present::Environment& env_;
};

}  // namespace vx::views
