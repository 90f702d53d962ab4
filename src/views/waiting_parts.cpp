#include "views/waiting_parts.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "format/format_wait.hpp"
#include "present/deep_link.hpp"
#include "present/ink.hpp"
#include "present/list_row.hpp"
#include "present/widget_type.hpp"
#include "views/list_parts.hpp"

namespace vx::views::waiting {

namespace {

// "1 chat to answer", "2 chats to answer".
std::string countLine(std::size_t n, const std::string& one, const std::string& many,
                      const std::string& rest) {
  return std::to_string(n) + " " + (n == 1 ? one : many) + " " + rest;
}

std::size_t rowsFor(WaitingView::Size size) {
  return size == WaitingView::Size::large ? 5 : 2;
}

std::optional<ProjectEntry> projectOf(const WaitingItem& item, const Snapshot& snapshot) {
  const auto& projects = snapshot.projects;
  auto it = std::find_if(projects.begin(), projects.end(),
                         [&](const ProjectEntry& p) { return p.slug == item.slug; });
  if (it == projects.end()) return std::nullopt;
  return *it;
}

ui::Element row(const WaitingItem& item, const Snapshot& snapshot, bool showDetails, Time now,
                const present::Environment& env) {
  const present::Ink ink(env);
  const std::string& title = showDetails ? item.action : item.privateAction;
  const std::string& subtitle = showDetails && !item.detail.empty() ? item.detail : item.site;
  const ui::Element wait = ui::text(formatWait(item.since, now))
                               .font(present::WidgetType::detail)
                               .tabularDigits()
                               .color(ink.secondary)
                               .fixedSize();
  return present::ListRow(projectOf(item, snapshot), ui::text(title), ui::text(subtitle), wait, env)
      .link(present::deepLink(item.path));
}

}  // namespace

ui::Element caughtUp(const present::Environment& env) {
  const present::Ink ink(env);
  return ui::column({ui::spacer(),
                     ui::symbol(ui::Symbol::checkmarkCircleFill)
                         .font(26, ui::Weight::semibold)
                         .color(ink.live)
                         .accentable()
                         .padding(ui::Edge::bottom, 6),
                     ui::text("All caught up").font(present::WidgetType::title).color(ink.primary),
                     ui::text("No one is waiting on a reply.")
                         .font(present::WidgetType::detail)
                         .color(ink.secondary)})
      .spacing(4)
      .align(ui::HAlign::leading)
      .fillContainer(ui::Alignment::bottomLeading);
}

ui::Element counts(const std::vector<WaitingItem>& waiting, const present::Environment& env) {
  const present::Ink ink(env);
  const auto chats = static_cast<std::size_t>(std::count_if(
      waiting.begin(), waiting.end(),
      [](const WaitingItem& i) { return i.kind == WaitingItem::Kind::conversation; }));
  const std::size_t articles = waiting.size() - chats;
  ui::Elements lines;
  if (chats > 0) lines.push_back(ui::text(countLine(chats, "chat", "chats", "to answer")));
  if (articles > 0) {
    lines.push_back(ui::text(countLine(articles, "article", "articles", "to finish")));
  }
  return ui::column({ui::spacer(6),
                     ui::text(std::to_string(waiting.size()))
                         .font(present::WidgetType::hero)
                         .color(ink.primary)
                         .accentable(),
                     ui::column(std::move(lines))
                         .spacing(2)
                         .align(ui::HAlign::leading)
                         .font(present::WidgetType::detail)
                         .color(ink.secondary)
                         .padding(ui::Edge::top, 8)})
      .spacing(0)
      .align(ui::HAlign::leading)
      .lineLimit(1)
      .frame({.maxWidth = ui::infinity, .alignment = ui::Alignment::leading});
}

ui::Element list(const std::vector<WaitingItem>& waiting, const Snapshot& snapshot,
                 bool showDetails, Time now, WaitingView::Size size,
                 const present::Environment& env) {
  const present::Ink ink(env);
  const bool large = size == WaitingView::Size::large;
  const std::size_t shown = std::min(waiting.size(), rowsFor(size));
  ui::Elements children{ui::gap(large ? 8 : 4)};
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) children.push_back(listSeparator(ink));
    children.push_back(row(waiting[i], snapshot, showDetails, now, env));
  }
  if (large && waiting.size() > shown) {
    children.push_back(listFooter(std::to_string(waiting.size() - shown) + " more", ink));
  }
  return ui::column(std::move(children))
      .spacing(0)
      .align(ui::HAlign::leading)
      .fillContainer(ui::Alignment::topLeading);
}

}  // namespace vx::views::waiting
