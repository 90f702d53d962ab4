#pragma once

// The demo service's account, fetched as the widgets fetch it: a fixture that starts the service
// on a loopback port and leaves its session in a scratch shared folder, plus the checks every
// view over it shares.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "demo/calendar.hpp"
#include "demo/service.hpp"
#include "model/clock.hpp"
#include "present/component_support.hpp"
#include "store/shared_store.hpp"
#include "support/icu_defaults.hpp"
#include "support/scratch.hpp"
#include "ui/ui.hpp"

namespace vx::testing {

// A signed-in session against a demo account of `projects` projects, at a pinned time.
class DemoAccount : public ::testing::Test {
 protected:
  explicit DemoAccount(int projects) : projects_(projects) {}

  void SetUp() override {
    vx::clock::pin(*demo::parseStamp("2026-03-10T12:00:00Z"));
    demo::ServiceOptions options;
    options.port = 0;
    options.projects = projects_;
    service_ = std::make_unique<demo::Service>(options);
    ASSERT_EQ(service_->start(), "");
    const auto folder = SharedStore::folder();
    ASSERT_TRUE(folder);
    writeFile(*folder / "session.json", demo::sessionDocument(service_->port(), options.token));
  }
  void TearDown() override {
    if (service_) service_->stop();
    vx::clock::unpin();
  }

 private:
  int projects_;
  ScratchFolder home_;
  ScopedEnvironment dataHome_{"XDG_DATA_HOME", (home_.path() / "data").string()};
  IcuDefaults icu_{"en_US", "UTC"};
  std::unique_ptr<demo::Service> service_;
};

inline bool inside(const ui::Rect& inner, const ui::Rect& outer) {
  constexpr double e = 0.01;
  return inner.x >= outer.x - e && inner.y >= outer.y - e && inner.maxX() <= outer.maxX() + e &&
         inner.maxY() <= outer.maxY() + e;
}

inline bool overlap(const ui::Rect& a, const ui::Rect& b) {
  constexpr double e = 0.01;
  return a.x < b.maxX() - e && b.x < a.maxX() - e && a.y < b.maxY() - e && b.y < a.maxY() - e;
}

// Every box of the layout stays inside a widget of `family`.
inline void expectInsideWidget(const ui::Layout& l, ui::Size family, const std::string& what) {
  const ui::Rect widget{0, 0, family.width, family.height};
  l.visit([&](const ui::Box& box, const ui::Rect& f, int) {
    EXPECT_TRUE(inside(f, widget)) << what << ": " << box.kind << " at " << f.x << "," << f.y << " "
                                   << f.width << "x" << f.height;
  });
}

// No two texts of the layout overlap.
inline void expectTextsApart(const ui::Layout& l, const std::string& what) {
  const auto texts = testing::texts(l);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      EXPECT_FALSE(overlap(texts[i].frame, texts[j].frame))
          << what << ": \"" << texts[i].text << "\" and \"" << texts[j].text << "\"";
    }
  }
}

}  // namespace vx::testing
