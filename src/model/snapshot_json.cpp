#include "model/snapshot_json.hpp"

#include <cmath>
#include <nlohmann/json.hpp>

#include "model/json_fields.hpp"

namespace vx {
namespace {

using Json = nlohmann::json;

// Raised inside encoding when a real value cannot be written; never leaves this file.
struct NotFinite {};

Json real(double value) {
  if (!std::isfinite(value)) throw NotFinite{};
  return value;
}

Json reals(const std::vector<double>& values) {
  Json array = Json::array();
  for (double value : values) array.push_back(real(value));
  return array;
}

template <class T, class Encode>
void putOptional(Json& object, const char* key, const std::optional<T>& value, Encode encode) {
  if (value) object[key] = encode(*value);
}

Json text(const std::string& value) {
  return value;
}

Json encodeGoal(const GoalFigure& goal) {
  Json object = {{"name", goal.name}, {"display", goal.display}, {"value", real(goal.value)}};
  putOptional(object, "change", goal.change, real);
  putOptional(object, "series", goal.series, reals);
  putOptional(object, "previousSeries", goal.previousSeries, reals);
  return object;
}

Json encodeMetrics(const PeriodMetrics& metrics) {
  Json object = {{"visitors", metrics.visitors}};
  putOptional(object, "visitorsChange", metrics.visitorsChange, real);
  putOptional(object, "visitorsSeries", metrics.visitorsSeries, reals);
  putOptional(object, "goal", metrics.goal, encodeGoal);
  putOptional(object, "visitorsPreviousSeries", metrics.visitorsPreviousSeries, reals);
  putOptional(object, "revenueDisplay", metrics.revenueDisplay, text);
  return object;
}

Json encodeItem(const WaitingItem& item) {
  return {{"id", item.id},         {"kind", rawValue(item.kind)},
          {"action", item.action}, {"privateAction", item.privateAction},
          {"detail", item.detail}, {"site", item.site},
          {"slug", item.slug},     {"since", timeToJson(item.since)},
          {"path", item.path}};
}

Json encodeEntry(const ProjectEntry& entry) {
  Json object = {{"name", entry.name},
                 {"slug", entry.slug},
                 {"faviconLetter", entry.faviconLetter},
                 {"faviconColor", entry.faviconColor},
                 {"realtimeVisitors", entry.realtimeVisitors},
                 {"waitingConversations", entry.waitingConversations}};
  putOptional(object, "timezone", entry.timezone, text);
  putOptional(object, "faviconFile", entry.faviconFile, text);
  putOptional(object, "todayDisplay", entry.todayDisplay, text);
  Json waiting = Json::array();
  for (const WaitingItem& item : entry.waiting) waiting.push_back(encodeItem(item));
  object["waiting"] = std::move(waiting);
  Json metrics = Json::object();
  for (const auto& [key, value] : entry.metricsByPeriod) metrics[key] = encodeMetrics(value);
  object["metricsByPeriod"] = std::move(metrics);
  return object;
}

// Dates: any JSON number of milliseconds within the clock's range (some 292,000 years either
// side of 1970), fraction kept to the microsecond; anything else fails like any other wrong
// value.
Time decodeTime(const fields::Field& field) {
  double ms = field.real();
  // Whole milliseconds and the fraction are converted apart: multiplying the whole value by
  // 1e3 in floating point would lose the sub-millisecond digits of present-day dates.
  double whole = std::floor(ms);
  if (!(whole > -9.2e15 && whole < 9.2e15)) field.fail("date out of range");
  auto us = static_cast<std::int64_t>(whole) * 1000 + std::llround((ms - whole) * 1e3);
  return Time(Time::duration(us));
}

std::vector<double> decodeReals(const fields::Field& field) {
  return field.list<double>([](const fields::Field& element) { return element.real(); });
}

std::optional<std::vector<double>> decodeOptionalReals(const fields::Field& field) {
  if (field.absent()) return std::nullopt;
  return decodeReals(field);
}

GoalFigure decodeGoal(const fields::Field& field) {
  field.requireObject();
  GoalFigure goal;
  goal.name = field.member("name").text();
  goal.display = field.member("display").text();
  goal.value = field.member("value").real();
  goal.change = field.member("change").optionalReal();
  goal.series = decodeOptionalReals(field.member("series"));
  goal.previousSeries = decodeOptionalReals(field.member("previousSeries"));
  return goal;
}

PeriodMetrics decodeMetrics(const fields::Field& field) {
  field.requireObject();
  PeriodMetrics metrics;
  metrics.visitors = field.member("visitors").integer();
  metrics.visitorsChange = field.member("visitorsChange").optionalReal();
  metrics.visitorsSeries = decodeOptionalReals(field.member("visitorsSeries"));
  if (auto goal = field.member("goal"); !goal.absent()) metrics.goal = decodeGoal(goal);
  metrics.visitorsPreviousSeries = decodeOptionalReals(field.member("visitorsPreviousSeries"));
  metrics.revenueDisplay = field.member("revenueDisplay").optionalText();
  return metrics;
}

WaitingItem decodeItem(const fields::Field& field) {
  field.requireObject();
  WaitingItem item;
  item.id = field.member("id").text();
  fields::Field kind = field.member("kind");
  auto parsedKind = waitingKindFromRaw(kind.text());
  if (!parsedKind) kind.fail("unknown kind");
  item.kind = *parsedKind;
  item.action = field.member("action").text();
  item.privateAction = field.member("privateAction").text();
  item.detail = field.member("detail").text();
  item.site = field.member("site").text();
  item.slug = field.member("slug").text();
  item.since = decodeTime(field.member("since"));
  item.path = field.member("path").text();
  return item;
}

// Members of a JSON object in document order, each decoded by `decode`.
template <class T, class Decode>
std::map<std::string, T> decodeMap(const fields::Field& field, Decode decode) {
  field.requireObject();
  std::map<std::string, T> result;
  for (const auto& [key, value] : field.value().items()) {
    (void)value;
    result[key] = decode(field.member(key));
  }
  return result;
}

ProjectEntry decodeEntry(const fields::Field& field) {
  field.requireObject();
  ProjectEntry entry;
  entry.name = field.member("name").text();
  entry.slug = field.member("slug").text();
  entry.timezone = field.member("timezone").optionalText();
  entry.faviconLetter = field.member("faviconLetter").text();
  entry.faviconColor = field.member("faviconColor").text();
  entry.faviconFile = field.member("faviconFile").optionalText();
  entry.realtimeVisitors = field.member("realtimeVisitors").integer();
  entry.todayDisplay = field.member("todayDisplay").optionalText();
  entry.waiting = field.member("waiting").list<WaitingItem>(decodeItem);
  entry.waitingConversations = field.member("waitingConversations").integer();
  entry.metricsByPeriod = decodeMap<PeriodMetrics>(field.member("metricsByPeriod"), decodeMetrics);
  return entry;
}

Snapshot decode(const fields::Field& field) {
  field.requireObject();
  Snapshot snapshot;
  snapshot.at = decodeTime(field.member("at"));
  snapshot.periodAt = decodeMap<Time>(field.member("periodAt"), decodeTime);
  snapshot.projectCount = field.member("projectCount").integer();
  snapshot.projects = field.member("projects").list<ProjectEntry>(decodeEntry);
  return snapshot;
}

}  // namespace

Json timeToJson(Time at) {
  const std::int64_t us = at.time_since_epoch().count();
  if (us % 1000 == 0) return us / 1000;
  return static_cast<double>(us / 1000) + static_cast<double>(us % 1000) / 1e3;
}

std::optional<Json> snapshotToJson(const Snapshot& snapshot) {
  try {
    Json periodAt = Json::object();
    for (const auto& [key, at] : snapshot.periodAt) periodAt[key] = timeToJson(at);
    Json projects = Json::array();
    for (const ProjectEntry& entry : snapshot.projects) projects.push_back(encodeEntry(entry));
    return Json{{"at", timeToJson(snapshot.at)},
                {"periodAt", std::move(periodAt)},
                {"projectCount", snapshot.projectCount},
                {"projects", std::move(projects)}};
  } catch (const NotFinite&) {
    return std::nullopt;
  }
}

std::optional<std::string> encodeSnapshot(const Snapshot& snapshot) {
  auto value = snapshotToJson(snapshot);
  if (!value) return std::nullopt;
  try {
    return value->dump();
  } catch (const Json::type_error&) {
    // A text that is not valid UTF-8 has no JSON form either.
    return std::nullopt;
  }
}

std::optional<Snapshot> decodeSnapshot(std::string_view document) {
  try {
    return decode(fields::root(fields::parse(document)));
  } catch (const fields::DecodeError&) {
    return std::nullopt;
  }
}

std::optional<Snapshot> snapshotFromJson(const Json& value) {
  try {
    return decode(fields::root(value));
  } catch (const fields::DecodeError&) {
    return std::nullopt;
  }
}

}  // namespace vx
