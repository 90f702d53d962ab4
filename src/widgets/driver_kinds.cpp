#include "widgets/driver_kinds.hpp"

#include "widgets/driver_json.hpp"
#include "widgets/entry_views.hpp"
#include "widgets/providers.hpp"

namespace vx::widgets::driver {
namespace {

using Json = nlohmann::ordered_json;

// One kind's provider with the reading of its configuration and the view that draws its entries.
// The configuration is decoded before the provider is asked, so a request the host got wrong
// costs no work.
template <class Provider, class EntryView>
class ProviderRequests final : public KindRequests {
 public:
  using Configuration = typename Provider::Configuration;
  using Reader = Configuration (*)(const fields::Field&);

  explicit ProviderRequests(Reader read) : read_(read) {}

  [[nodiscard]] std::span<const IntentParameter> parameters() const override {
    return Configuration::kParameters;
  }

  [[nodiscard]] Json placeholder() const override { return toJson(provider_.placeholder()); }

  [[nodiscard]] Json snapshot(const fields::Field& configuration) const override {
    return toJson(provider_.snapshot(read_(configuration)));
  }

  [[nodiscard]] Json timeline(const fields::Field& configuration) const override {
    return toJson(provider_.timeline(read_(configuration)));
  }

  [[nodiscard]] DrawnEntry draw(EntrySource source, const fields::Field& input,
                                const DrawSettings& settings) const override {
    EntryView view{entry(source, input), settings.family};
    const Time date = view.entry.date;
    return {drawEntryView(std::move(view), settings), date};
  }

 private:
  [[nodiscard]] typename Provider::Entry entry(EntrySource source,
                                               const fields::Field& input) const {
    switch (source) {
      case EntrySource::given:
        return entryFromJson(input, read_);
      case EntrySource::timeline:
        // A timeline always holds at least one entry: the one for now.
        return provider_.timeline(read_(input)).entries.front();
      case EntrySource::preview:
        return provider_.snapshot(read_(input));
      case EntrySource::placeholder:
        break;
    }
    return provider_.placeholder();
  }

  Provider provider_;
  Reader read_;
};

}  // namespace

const KindRequests* kindRequests(std::string_view identifier) {
  static const ProviderRequests<ProjectSummaryProvider, ProjectSummaryWidgetView> projectSummary(
      &projectSummaryIntent);
  static const ProviderRequests<AllProjectsProvider, AllProjectsWidgetView> allProjects(
      &allProjectsIntent);
  static const ProviderRequests<WaitingProvider, WaitingWidgetView> waiting(&waitingIntent);
  if (identifier == projectSummaryWidget().kind) return &projectSummary;
  if (identifier == allProjectsWidget().kind) return &allProjects;
  if (identifier == waitingWidget().kind) return &waiting;
  return nullptr;
}

}  // namespace vx::widgets::driver
