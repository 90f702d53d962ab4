#include "widgets/driver_kinds.hpp"

#include "widgets/driver_json.hpp"
#include "widgets/providers.hpp"

namespace vx::widgets::driver {
namespace {

using Json = nlohmann::ordered_json;

// One kind's provider with the reading of its configuration. The configuration is decoded
// before the provider is asked, so a request the host got wrong costs no work.
template <class Provider>
class ProviderRequests final : public KindRequests {
 public:
  using Configuration = typename Provider::Configuration;
  using Reader = Configuration (*)(const json::Field&);

  explicit ProviderRequests(Reader read) : read_(read) {}

  [[nodiscard]] std::span<const IntentParameter> parameters() const override {
    return Configuration::kParameters;
  }

  [[nodiscard]] Json placeholder() const override { return toJson(provider_.placeholder()); }

  [[nodiscard]] Json snapshot(const json::Field& configuration) const override {
    return toJson(provider_.snapshot(read_(configuration)));
  }

  [[nodiscard]] Json timeline(const json::Field& configuration) const override {
    return toJson(provider_.timeline(read_(configuration)));
  }

 private:
  Provider provider_;
  Reader read_;
};

}  // namespace

const KindRequests* kindRequests(std::string_view identifier) {
  static const ProviderRequests<ProjectSummaryProvider> projectSummary(&projectSummaryIntent);
  static const ProviderRequests<AllProjectsProvider> allProjects(&allProjectsIntent);
  static const ProviderRequests<WaitingProvider> waiting(&waitingIntent);
  if (identifier == projectSummaryWidget().kind) return &projectSummary;
  if (identifier == allProjectsWidget().kind) return &allProjects;
  if (identifier == waitingWidget().kind) return &waiting;
  return nullptr;
}

}  // namespace vx::widgets::driver
