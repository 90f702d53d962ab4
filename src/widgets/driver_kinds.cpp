#include "widgets/driver_kinds.hpp"

#include <array>

#include "widgets/driver_json.hpp"
#include "widgets/entry_views.hpp"
#include "widgets/providers.hpp"

namespace vx::widgets::driver {
namespace {

// One kind's provider with the resolving of its configuration and the view that draws its
// entries. The configuration is read before the provider is asked, so a request the host got
// wrong costs no work.
template <class Provider, class EntryView>
class ProviderRequests final : public KindRequests {
 public:
  using Configuration = typename Provider::Configuration;
  using Resolver = Configuration (*)(const ConfigurationInput&);

  ProviderRequests(WidgetKind widget, Resolver resolve)
      : widget_(std::move(widget)), resolve_(resolve) {}

  [[nodiscard]] const WidgetKind& widget() const override { return widget_; }

  [[nodiscard]] Answer placeholder() const override { return toJson(provider_.placeholder()); }

  [[nodiscard]] Answer snapshot(const ConfigurationInput& configuration) const override {
    return toJson(provider_.snapshot(resolve_(configuration)));
  }

  [[nodiscard]] Answer timeline(const ConfigurationInput& configuration) const override {
    return toJson(provider_.timeline(resolve_(configuration)));
  }

  [[nodiscard]] DrawnEntry draw(EntrySource source, const ConfigurationInput& configuration,
                                const std::optional<fields::Field>& entry,
                                const SharedSnapshot& handed,
                                const DrawSettings& settings) const override {
    EntryView view{made(source, configuration, entry, handed), settings.family};
    const Time date = view.entry.date;
    return {drawEntryView(std::move(view), settings), date};
  }

 private:
  [[nodiscard]] typename Provider::Entry made(EntrySource source,
                                              const ConfigurationInput& configuration,
                                              const std::optional<fields::Field>& entry,
                                              const SharedSnapshot& handed) const {
    switch (source) {
      case EntrySource::given:
        return entryFromJson(entry.value(), resolve_, handed);
      case EntrySource::timeline:
        // A timeline always holds at least one entry: the one for now.
        return provider_.timeline(resolve_(configuration)).entries.front();
      case EntrySource::preview:
        return provider_.snapshot(resolve_(configuration));
      case EntrySource::placeholder:
        break;
    }
    return provider_.placeholder();
  }

  WidgetKind widget_;
  Provider provider_;
  Resolver resolve_;
};

}  // namespace

std::span<const KindRequests* const> kindTable() {
  static const ProviderRequests<ProjectSummaryProvider, ProjectSummaryWidgetView> projectSummary(
      projectSummaryWidget(), &projectSummaryIntent);
  static const ProviderRequests<AllProjectsProvider, AllProjectsWidgetView> allProjects(
      allProjectsWidget(), &allProjectsIntent);
  static const ProviderRequests<WaitingProvider, WaitingWidgetView> waiting(waitingWidget(),
                                                                            &waitingIntent);
  static const std::array<const KindRequests*, 3> table = {&projectSummary, &allProjects, &waiting};
  return table;
}

const KindRequests* kindRequests(std::string_view identifier) {
  for (const KindRequests* kind : kindTable()) {
    if (kind->widget().kind == identifier) return kind;
  }
  return nullptr;
}

}  // namespace vx::widgets::driver
