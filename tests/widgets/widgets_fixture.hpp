#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "model/clock.hpp"
#include "model/snapshot.hpp"
#include "store/shared_store.hpp"
#include "support/fake_service.hpp"
#include "support/icu_defaults.hpp"
#include "support/scratch.hpp"

namespace vx::testing {

// 12:00 UTC on 10 March 2026; the local day (UTC) ends at midnight on the 11th.
inline const Time kNow = Time(std::chrono::sys_days(std::chrono::year_month_day(
                             std::chrono::year(2026), std::chrono::March, std::chrono::day(10)))) +
                         std::chrono::hours(12);
inline const Time kMidnight = kNow + std::chrono::hours(12);

inline ProjectEntry project(const std::string& slug) {
  ProjectEntry entry;
  entry.slug = slug;
  entry.name = slug + ".example";
  entry.faviconLetter = "A";
  entry.faviconColor = "#336699";
  return entry;
}

inline Snapshot snapshotAt(Time at, const std::vector<std::string>& slugs) {
  Snapshot snapshot;
  snapshot.at = at;
  snapshot.periodAt["days7"] = at;
  for (const auto& slug : slugs) snapshot.projects.push_back(project(slug));
  snapshot.projectCount = static_cast<std::int64_t>(slugs.size());
  return snapshot;
}

// The service's project list naming these slugs.
inline std::string projectList(const std::vector<std::string>& slugs) {
  nlohmann::json data = nlohmann::json::array();
  for (const auto& slug : slugs) {
    data.push_back({{"uuid", "uuid-" + slug}, {"slug", slug}, {"domain", slug + ".example"}});
  }
  return nlohmann::json{{"data", data}}.dump();
}

// Every test runs with its own shared folder, the process clock pinned at `kNow`, days in UTC,
// and a fake service that answers nothing until scripted (404).
class WidgetsTest : public ::testing::Test {
 protected:
  void SetUp() override { clock::pin(kNow); }
  void TearDown() override { clock::unpin(); }

  [[nodiscard]] static std::filesystem::path sharedFolder() {
    auto folder = SharedStore::folder();
    if (!folder) throw std::runtime_error("no shared folder");
    return *folder;
  }

  // Writes "session.json" pointing at the fake, as keyferry does.
  void signIn() {
    writeFile(sharedFolder() / SharedStore::kSessionFile,
              nlohmann::json{{"api", fake_.baseUrl()}, {"token", "session-token"}}.dump());
  }

  // The project list answers with these projects; each project's seven-day summary with
  // `visitors`; every other request of a refresh fails (404) and shows as an empty value.
  void serveProjects(const std::vector<std::string>& slugs, int visitors = 12) {
    fake_.on("GET", "/v1/projects", testing::Answer{200, projectList(slugs)});
    for (const auto& slug : slugs) {
      fake_.on("GET",
               "/v1/projects/" + slug + "/analytics/summary?period=7d&compare=previous_period",
               testing::Answer{200, nlohmann::json{{"visitors", visitors}}.dump()});
    }
  }

  [[nodiscard]] std::size_t projectListRequests() const {
    return fake_.requests("GET", "/v1/projects").size();
  }

  ScratchFolder scratch_;
  ScopedEnvironment dataHome_{"XDG_DATA_HOME", (scratch_.path() / "data").string()};
  IcuDefaults icu_{"en_US", "UTC"};
  testing::FakeService fake_;
};

}  // namespace vx::testing
