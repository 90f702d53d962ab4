#include "demo/catalogue.hpp"

#include <algorithm>

namespace vx::demo {
namespace {

Profile project(std::string uuid, std::string slug, std::string domain,
                std::optional<std::string> timezone, double dailyVisitors) {
  Profile p;
  p.uuid = std::move(uuid);
  p.slug = std::move(slug);
  p.domain = std::move(domain);
  p.timezone = std::move(timezone);
  p.dailyVisitors = dailyVisitors;
  return p;
}

Goal conversionsGoal(std::string id, std::optional<std::string> name, double rate) {
  Goal g;
  g.id = std::move(id);
  g.name = std::move(name);
  g.kind = "conversions";
  g.rate = rate;
  return g;
}

Goal salesGoal(std::string id, std::string name, double rate, std::vector<Sales> sales) {
  Goal g;
  g.id = std::move(id);
  g.name = std::move(name);
  g.kind = "sales";
  g.valueMode = "revenue";
  g.rate = rate;
  g.sales = std::move(sales);
  return g;
}

std::vector<Profile> everyProject() {
  std::vector<Profile> all;

  // A coffee roaster selling in euros; the goal report lists a newsletter goal before the
  // sales goal the summary reports on, and the sales goal's id needs percent-encoding.
  Profile coffee = project("3f6c1a2e-8b4d-4f1a-9c2e-5d7b8a9e0f11", "northwind",
                           "northwind-coffee.com", "Europe/Berlin", 1850);
  coffee.style.missingOneIn = 13;
  coffee.goals = {conversionsGoal("newsletter", "Newsletter sign-ups", 0.031),
                  salesGoal("checkout/complete order", "Orders", 0.018, {{"EUR", 1, 38.5}})};
  coffee.business = 1;
  coffee.revenueFrom = 1;
  all.push_back(coffee);

  // Far east of UTC; a conversions goal; days with time parts, split days and null points.
  Profile bikes = project("a1d2c3b4-5e6f-4a7b-8c9d-0e1f2a3b4c5d", "atlas-bikes", "atlasbikes.co",
                          "Pacific/Kiritimati", 640);
  bikes.style = {9, true, true, true};
  bikes.goals = {conversionsGoal("test ride+booked", "Test rides booked", 0.012)};
  bikes.business = 0;
  all.push_back(bikes);

  // No time zone; revenue in the summary without a reported goal; no icon.
  Profile tools = project("5b8e2f4a-1c3d-4e6f-8a9b-7c0d1e2f3a4b", "pinecone", "pinecone.dev",
                          std::nullopt, 23600);
  tools.hasIcon = false;
  tools.goals = {salesGoal("purchase", "Purchases", 0.004, {{"USD", 1, 119}})};
  tools.revenueFrom = 0;
  all.push_back(tools);

  // A site nobody visits.
  all.push_back(project("9e0f1a2b-3c4d-4e5f-a6b7-c8d9e0f1a2b3", "quiet-harbor", "quietharbor.org",
                        "America/New_York", 0));

  // Money in two currencies.
  Profile studio = project("c4d5e6f7-a8b9-4c0d-9e1f-2a3b4c5d6e7f", "lumen-studio",
                           "lumenstudio.co.uk", "Europe/London", 410);
  studio.goals = {salesGoal("sale", "Prints sold", 0.026, {{"GBP", 0.7, 54}, {"EUR", 0.3, 61}})};
  studio.business = 0;
  studio.revenueFrom = 0;
  all.push_back(studio);

  // Visitors only: no goals, no revenue.
  all.push_back(project("d6e7f8a9-b0c1-4d2e-8f3a-4b5c6d7e8f90", "kiso-tea", "kisotea.jp",
                        "Asia/Tokyo", 3200));

  // Twelve days old, so longer periods have no previous figures; a goal without a name, reached
  // a few times a day at most, so its days are drawn as dots.
  Profile travel = project("e8f9a0b1-c2d3-4e4f-a5b6-c7d8e9f0a1b2", "fernway", "fernway.travel",
                           "America/Los_Angeles", 95);
  travel.launchedDaysAgo = 12;
  travel.goals = {conversionsGoal("enquiry", std::nullopt, 0.018)};
  travel.business = 0;
  all.push_back(travel);

  Profile desk = project("f0a1b2c3-d4e5-4f6a-b7c8-d9e0f1a2b3c4", "brightdesk", "brightdesk.io",
                         "Australia/Sydney", 780);
  desk.goals = {conversionsGoal("demo-request", "Demo requests", 0.009)};
  desk.business = 0;
  all.push_back(desk);

  // A large shop in euros.
  Profile travelShop = project("0b1c2d3e-4f5a-4b6c-8d7e-9f0a1b2c3d4e", "sol-y-mar", "solymar.es",
                               "Europe/Madrid", 12400);
  travelShop.goals = {salesGoal("booking", "Bookings", 0.006, {{"EUR", 1, 212}})};
  travelShop.business = 0;
  travelShop.revenueFrom = 0;
  all.push_back(travelShop);

  // Patchy data.
  Profile rugs = project("1c2d3e4f-5a6b-4c7d-9e8f-0a1b2c3d4e5f", "kasbah-rugs", "kasbahrugs.ma",
                         "Africa/Casablanca", 260);
  rugs.style.missingOneIn = 4;
  rugs.goals = {conversionsGoal("quote", "Quote requests", 0.02)};
  rugs.business = 0;
  all.push_back(rugs);

  all.push_back(project("2d3e4f5a-6b7c-4d8e-af90-1b2c3d4e5f6a", "tundra-labs", "tundralabs.fi",
                        "Europe/Helsinki", 5100));

  Profile dental = project("3e4f5a6b-7c8d-4e9f-b0a1-2c3d4e5f6a7b", "orchid-dental",
                           "orchiddental.sg", "Asia/Singapore", 150);
  dental.goals = {conversionsGoal("appointment", "Appointments", 0.04)};
  dental.business = 0;
  all.push_back(dental);

  Profile books = project("4f5a6b7c-8d9e-4fa0-81b2-3d4e5f6a7b8c", "maple-books", "maplebooks.ca",
                          "America/Toronto", 880);
  books.goals = {salesGoal("order", "Orders", 0.022, {{"CAD", 0.8, 31}, {"USD", 0.2, 27}})};
  books.business = 0;
  books.revenueFrom = 0;
  all.push_back(books);

  // A zone name no calendar knows: its days are UTC days.
  all.push_back(project("5a6b7c8d-9e0f-4a1b-92c3-4e5f6a7b8c9d", "red-dust", "reddust.space",
                        "Mars/Olympus_Mons", 45));

  // Far west of UTC.
  all.push_back(project("6b7c8d9e-0f1a-4b2c-a3d4-5f6a7b8c9d0e", "reef-surf", "reefsurf.com",
                        "Pacific/Honolulu", 2200));

  return all;
}

}  // namespace

std::size_t catalogueSize() {
  static const std::size_t size = everyProject().size();
  return size;
}

std::vector<Profile> catalogue(std::size_t count) {
  auto all = everyProject();
  all.resize(std::min(count, all.size()));
  return all;
}

}  // namespace vx::demo
