#include "refresh/fetcher.hpp"

#include <algorithm>
#include <functional>
#include <map>
#include <system_error>
#include <utility>
#include <vector>

#include "push/push_reporter.hpp"
#include "refresh/favicon.hpp"
#include "refresh/favicon_color.hpp"
#include "refresh/favicon_letter.hpp"
#include "refresh/period_figures.hpp"
#include "refresh/today_display.hpp"
#include "refresh/waiting_list.hpp"
#include "store/shared_store.hpp"

namespace vx::refresh {
namespace {

using Outcome = Fetcher::Outcome;

double ageInSeconds(Time since) {
  return clock::secondsBetween(since, clock::now());
}

// The value of a started request, or nothing when it failed in any way.
template <class T>
std::optional<T> valueOrNothing(std::future<T>& request) {
  try {
    return request.get();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<WaitingItem> waitingItems(const api::Project& project,
                                      const std::vector<api::Conversation>& waiting,
                                      const std::optional<api::ArticleList>& articles) {
  std::vector<WaitingItem> items;
  for (const api::Conversation& conversation : waiting)
    items.push_back(item(conversation, project));
  if (articles && articles->data) {
    for (const api::Article& article : *articles->data) {
      if (auto each = item(article, project)) items.push_back(std::move(*each));
    }
  }
  return items;
}

using Figures = std::optional<std::map<std::string, PeriodMetrics>>;

bool stampIsFresh(const std::map<std::string, Time>& periodAt, WidgetPeriod period) {
  auto stamp = periodAt.find(std::string(rawValue(period)));
  return stamp != periodAt.end() && ageInSeconds(stamp->second) < kFreshnessSeconds;
}

// Steps 7 and 8 of a refresh, started as soon as the projects are known (their slugs and time
// zones are all the period's figures need), so that they run beside the entries: the asked
// period's figures, unless the period is stamped within the window. An empty future when they
// are not needed.
std::future<Figures> startFigures(std::vector<ProjectEntry> projects,
                                  std::optional<WidgetPeriod> period,
                                  const std::map<std::string, Time>& periodAt,
                                  const api::Client& client) {
  if (!period || stampIsFresh(periodAt, *period)) return {};
  auto work = [projects = std::move(projects), period = *period, &client] {
    return fetchFigures(projects, period, client);
  };
  try {
    return std::async(std::launch::async, std::move(work));
  } catch (const std::system_error&) {
    return std::async(std::launch::deferred, std::move(work));  // no thread to spare
  }
}

// Step 9: the period's figures merged into every entry. Answers false when no project's
// figures could be obtained.
bool topUpPeriod(Snapshot& working, WidgetPeriod period, Figures figures) {
  if (!figures) return false;
  const std::string key(rawValue(period));
  for (ProjectEntry& project : working.projects) {
    auto found = figures->find(project.slug);
    if (found != figures->end()) {
      project.metricsByPeriod[key] = found->second;
    } else {
      project.metricsByPeriod.erase(key);
    }
  }
  working.periodAt[key] = clock::now();
  return true;
}

bool periodIsFresh(const Snapshot& snapshot, WidgetPeriod period) {
  return stampIsFresh(snapshot.periodAt, period);
}

// Saves the snapshot where every process reads it, unless this process's clock is pinned ahead
// of the system's: other processes would take a snapshot dated in their future for fresh, and
// stop refreshing, until their time reached that date. Such a run answers what it fetched and
// leaves the shared cache as it was.
void saveShared(const Snapshot& snapshot) {
  if (clock::pinnedAhead()) return;
  SharedStore::save(snapshot);
}

Outcome signOut() {
  SharedStore::forgetSnapshot();
  return Outcome::signedOut();
}

}  // namespace

Fetcher::Outcome Fetcher::Outcome::fresh(SharedSnapshot snapshot) {
  return Outcome{Kind::fresh, std::move(snapshot)};
}
Fetcher::Outcome Fetcher::Outcome::kept(std::optional<Snapshot> snapshot) {
  return Outcome{Kind::kept, std::move(snapshot)};
}
Fetcher::Outcome Fetcher::Outcome::signedOut() {
  return Outcome{Kind::signedOut, std::nullopt};
}

Fetcher& Fetcher::shared() {
  static Fetcher instance;
  return instance;
}

Fetcher::Outcome Fetcher::current(std::optional<WidgetPeriod> period) {
  std::unique_lock lock(mutex_);
  // 1. Wait for the refresh in flight, then look again: another caller may have started one.
  while (running_) {
    std::shared_future<Outcome> inFlight = *running_;
    lock.unlock();
    inFlight.wait();
    lock.lock();
  }
  // 2. Fast path: a signed-in cache that is fresh enough for this period.
  if (SharedStore::session()) {
    if (auto cached = SharedStore::sharedSnapshot(); cached && isFresh(*cached, period)) {
      return Outcome::fresh(SharedSnapshot(std::move(cached)));
    }
  }
  // 3. Run one refresh; callers arriving meanwhile wait for it without holding the lock.
  std::promise<Outcome> result;
  running_ = result.get_future().share();
  lock.unlock();
  Outcome outcome = Outcome::kept(std::nullopt);
  try {
    outcome = fetch(period);
  } catch (...) {
    // Never leave the waiting callers behind: whatever went wrong, the refresh ends here.
    outcome = Outcome::kept(std::nullopt);
  }
  lock.lock();
  running_.reset();
  lock.unlock();
  result.set_value(outcome);
  return outcome;
}

bool isFresh(const Snapshot& snapshot, std::optional<WidgetPeriod> period) {
  // 1. The snapshot itself (a negative age, from a snapshot dated ahead, counts as fresh).
  if (!(ageInSeconds(snapshot.at) < kFreshnessSeconds)) return false;
  // 2. No period asked for.
  if (!period) return true;
  // 3 and 4. The period's own stamp.
  return periodIsFresh(snapshot, *period);
}

Fetcher::Outcome fetch(std::optional<WidgetPeriod> period) {
  // 1 and 2. A session whose base address may receive the token.
  auto session = SharedStore::session();
  if (!session) return signOut();
  auto base = session->baseURL();
  if (!base) return signOut();
  // 3 and 4. A client for the session, and the cached snapshot.
  const api::Client client(*base, session->token);
  std::optional<Snapshot> last = SharedStore::snapshot();
  // 5 and 6. The project list and live figures, unless the cached ones are recent; 7 and 8.
  //    the asked period's figures, fetched beside them.
  Snapshot working;
  std::future<Figures> figures;
  if (last && ageInSeconds(last->at) < kFreshnessSeconds) {
    working = *last;
    figures = startFigures(working.projects, period, working.periodAt, client);
  } else {
    const std::map<std::string, Time> stamps =
        last ? last->periodAt : std::map<std::string, Time>{};
    const auto listed = [&](std::vector<ProjectEntry> projects) {
      figures = startFigures(std::move(projects), period, stamps, client);
    };
    try {
      working = fetchProjects(client, last, listed);
    } catch (const api::Client::Failure& failure) {
      if (failure.kind() == api::Client::FailureKind::signedOut) return signOut();
      return Outcome::kept(std::move(last));
    } catch (const std::exception&) {
      return Outcome::kept(std::move(last));
    }
  }
  // 9. The period's figures merged in.
  if (figures.valid() && !topUpPeriod(working, *period, figures.get())) {
    saveShared(working);
    return Outcome::kept(std::move(working));
  }
  // 10. Saved, the push token reported where needed, and fresh.
  saveShared(working);
  push::PushReporter::shared().reportIfNeeded();
  return Outcome::fresh(std::move(working));
}

Snapshot fetchProjects(const api::Client& client, const std::optional<Snapshot>& last,
                       const std::function<void(std::vector<ProjectEntry>)>& listed) {
  // 1 and 2. The project list; an empty one is a failure.
  auto list = client.get<api::Project::List>("/v1/projects");
  if (list.data.empty()) throw api::Client::Failure(api::Client::FailureKind::failed);
  const std::size_t count = std::min(list.data.size(), kProjectCap);
  if (listed) {
    std::vector<ProjectEntry> projects(count);
    for (std::size_t i = 0; i < count; ++i) {
      projects[i].slug = list.data[i].slug;
      projects[i].timezone = list.data[i].timezone;
    }
    listed(std::move(projects));
  }
  // 3. The previous entries by slug, to carry their period figures over.
  std::map<std::string, ProjectEntry> previous;
  if (last) {
    for (const ProjectEntry& project : last->projects) previous.emplace(project.slug, project);
  }
  // 4. Every entry at once; 5. kept in list order.
  std::vector<std::future<ProjectEntry>> started;
  started.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const api::Project& project = list.data[i];
    auto found = previous.find(project.slug);
    std::optional<ProjectEntry> lastEntry;
    if (found != previous.end()) lastEntry = found->second;
    started.push_back(std::async(std::launch::async, [project, lastEntry, client] {
      return entry(project, lastEntry, client);
    }));
  }
  std::vector<ProjectEntry> entries;
  entries.reserve(count);
  for (auto& each : started) entries.push_back(each.get());
  // 6. The new snapshot, keeping the period stamps of the last one.
  Snapshot snapshot;
  snapshot.periodAt = last ? last->periodAt : std::map<std::string, Time>{};
  snapshot.projectCount = static_cast<std::int64_t>(list.data.size());
  snapshot.projects = std::move(entries);
  snapshot.at = clock::now();
  return snapshot;
}

ProjectEntry entry(const api::Project& project, const std::optional<ProjectEntry>& last,
                   const api::Client& client) {
  const std::string analytics = "/v1/projects/" + project.slug + "/analytics";
  // All five requests are in flight before any answer is awaited.
  auto realtime = client.start<api::Realtime>(analytics + "/realtime");
  auto inbox =
      client.start<api::Inbox>("/v1/projects/" + project.slug + "/inbox?limit=100&offset=0");
  auto articles = client.start<api::ArticleList>(
      "/v1/projects/" + project.uuid +
      "/articles?limit=50&offset=0&sort_by=updated_at&order_by=desc");
  auto today = client.start<api::Summary>(analytics + "/summary?period=today");
  auto icon = startFavicon(project, client.base());

  auto live = valueOrNothing(realtime);
  auto conversations = valueOrNothing(inbox);
  auto articleList = valueOrNothing(articles);
  auto todaySummary = valueOrNothing(today);

  std::vector<api::Conversation> waiting;
  if (conversations && conversations->conversations) {
    waiting = waitingConversations(*conversations->conversations);
  }

  ProjectEntry result;
  result.name = project.domain;
  result.slug = project.slug;
  result.timezone = project.timezone;
  result.faviconLetter = faviconLetter(project.domain);
  result.faviconColor = faviconColor(project.domain);
  result.faviconFile = icon.get();
  result.realtimeVisitors = live ? live->current_visitors.value_or(0) : 0;
  if (todaySummary) result.todayDisplay = todayDisplay(*todaySummary);
  result.waiting = waitingItems(project, waiting, articleList);
  result.waitingConversations = static_cast<std::int64_t>(waiting.size());
  if (last) result.metricsByPeriod = last->metricsByPeriod;
  return result;
}

}  // namespace vx::refresh
