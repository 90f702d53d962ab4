// Drawing entries for the host as a real process: images that decode at the size they claim, the
// link map where the rows were laid out, entries handed back by the host, and requests that fail
// without leaving a file behind. Also the same through `serve`.

#include <expat.h>

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "driver_fixture.hpp"
#include "ui/png_probe.hpp"

namespace vx::testing {
namespace {

using nlohmann::json;

WaitingItem conversation(const std::string& id, int minutesAgo) {
  WaitingItem item;
  item.id = id;
  item.action = "Ana asked about " + id;
  item.privateAction = "Reply to a visitor";
  item.detail = "Message " + id;
  item.site = "alpha.example";
  item.slug = "alpha";
  item.since = kNow - std::chrono::minutes(minutesAgo);
  item.path = "/app/inbox/" + id;
  return item;
}

// The SVG document's root element and its size attributes; empty when it does not parse.
struct SvgRoot {
  std::string name, width, height;
};
SvgRoot svgRoot(const std::string& document) {
  SvgRoot root;
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetUserData(parser, &root);
  XML_SetStartElementHandler(parser, [](void* data, const XML_Char* name, const XML_Char** attrs) {
    auto* found = static_cast<SvgRoot*>(data);
    if (!found->name.empty()) return;
    found->name = name;
    for (int i = 0; attrs[i]; i += 2) {
      if (std::string(attrs[i]) == "width") found->width = attrs[i + 1];
      if (std::string(attrs[i]) == "height") found->height = attrs[i + 1];
    }
  });
  const bool ok =
      XML_Parse(parser, document.data(), static_cast<int>(document.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return ok ? root : SvgRoot{};
}

// The cross-reference table that "startxref" points at is where it says: the file is whole.
bool pdfIsWhole(const std::string& pdf) {
  if (!pdf.starts_with("%PDF-")) return false;
  const auto start = pdf.rfind("startxref");
  if (start == std::string::npos || pdf.find("%%EOF", start) == std::string::npos) return false;
  const std::size_t offset = std::stoul(pdf.substr(start + 9));
  return pdf.compare(offset, 4, "xref") == 0;
}

class RenderTest : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    Snapshot snapshot = snapshotAt(kNow - std::chrono::minutes(5), {"alpha", "beta", "gamma"});
    snapshot.projects[0].waiting = {conversation("c1", 5), conversation("c2", 30),
                                    conversation("c3", 90)};
    snapshot.projects[0].waitingConversations = 3;
    for (auto& project : snapshot.projects) project.metricsByPeriod["days7"].visitors = 40;
    SharedStore::save(snapshot);
    std::filesystem::create_directories(out_);
  }

  RunResult render(std::vector<std::string> arguments, const std::string& input = {}) {
    arguments.insert(arguments.begin(), "render");
    arguments.insert(arguments.end(), {"--now", nowOption()});
    return runDriver(arguments, input);
  }

  // A preview entry as the host keeps it.
  json previewEntry(const std::string& kind) {
    const auto result = runDriver({"preview", "--kind", kind, "--now", nowOption()});
    EXPECT_EQ(result.status, 0) << result.error;
    return parsed(result);
  }

  std::filesystem::path out_ = scratch_.path() / "images";
};

TEST_F(RenderTest, EachFormatDecodesAtTheSizeItReports) {
  const auto png = render({"--kind", "AllProjectsWidget", "--family", "systemLarge", "--preview",
                           "--out", (out_ / "large.png").string()});
  ASSERT_EQ(png.status, 0) << png.error;
  const json answer = parsed(png);
  EXPECT_EQ(answer["path"], (out_ / "large.png").string());
  EXPECT_EQ(answer["size"], json({364, 382}));
  EXPECT_EQ(answer["pixels"], json({728, 764}));
  EXPECT_EQ(answer["scale"], 2);
  EXPECT_EQ(answer["date"], millis(kNow));
  EXPECT_EQ(std::filesystem::status(out_ / "large.png").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
      << "drawings show the user's data";
  const testing::PngProbe probe(readFile(out_ / "large.png"));
  ASSERT_TRUE(probe.ok());
  EXPECT_EQ(probe.width(), 728);
  EXPECT_EQ(probe.height(), 764);

  const auto tripled =
      render({"--kind", "ProjectSummaryWidget", "--family", "systemSmall", "--preview", "--scale",
              "3", "--scheme", "dark", "--out", (out_ / "small.png").string()});
  ASSERT_EQ(tripled.status, 0) << tripled.error;
  const testing::PngProbe small(readFile(out_ / "small.png"));
  EXPECT_EQ(small.width(), 510);
  EXPECT_EQ(parsed(tripled)["pixels"], json({510, 510}));

  const auto svg = render({"--kind", "WaitingWidget", "--family", "systemMedium", "--preview",
                           "--format", "svg", "--out", (out_ / "waiting.svg").string()});
  ASSERT_EQ(svg.status, 0) << svg.error;
  EXPECT_EQ(parsed(svg)["pixels"], nullptr);
  const SvgRoot root = svgRoot(readFile(out_ / "waiting.svg"));
  EXPECT_EQ(root.name, "svg");
  EXPECT_EQ(root.width, "364pt");
  EXPECT_EQ(root.height, "170pt");

  const auto pdf = render({"--kind", "AllProjectsWidget", "--family", "systemExtraLarge",
                           "--preview", "--format", "pdf", "--mode", "accented", "--tint",
                           "#ff9500", "--out", (out_ / "all.pdf").string()});
  ASSERT_EQ(pdf.status, 0) << pdf.error;
  const std::string document = readFile(out_ / "all.pdf");
  EXPECT_TRUE(pdfIsWhole(document));
  EXPECT_NE(document.find("/MediaBox [ 0 0 748 382 ]"), std::string::npos);
  EXPECT_EQ(namesIn(out_),
            (std::vector<std::string>{"all.pdf", "large.png", "small.png", "waiting.svg"}));
}

// Drawing needs no network: libcurl and the thirty libraries it brings stay unloaded, so a
// drawing process does not pay for them at start.
TEST_F(RenderTest, DrawingFromTheCacheLoadsNoNetworkLibrary) {
  auto variables = environment();
  variables["LD_DEBUG"] = "files";  // the loader names each library it opens
  for (const char* entry : {"--preview", "--placeholder"}) {
    const auto drawn = run(VX_WIDGETS_PATH,
                           {"render", "--kind", "AllProjectsWidget", "--family", "systemExtraLarge",
                            entry, "--now", nowOption(), "--out", (out_ / "drawn.png").string()},
                           variables);
    ASSERT_EQ(drawn.status, 0) << drawn.error;
    EXPECT_NE(drawn.error.find("libpango"), std::string::npos) << entry;
    EXPECT_EQ(drawn.error.find("libcurl"), std::string::npos) << entry;
  }
}

TEST_F(RenderTest, LinksLieWhereTheRowsWereLaidOut) {
  const auto result = render({"--kind", "WaitingWidget", "--family", "systemLarge", "--preview",
                              "--out", (out_ / "w.png").string()});
  ASSERT_EQ(result.status, 0) << result.error;
  const json links = parsed(result)["links"];
  const json texts = parsed(result)["texts"];
  ASSERT_EQ(links.size(), 3u) << links.dump();
  ASSERT_GE(texts.size(), 2 + 3 * links.size()) << texts.dump();
  double bottom = 0;
  for (std::size_t i = 0; i < links.size(); ++i) {
    EXPECT_EQ(links[i]["url"], "vantorix://open/app/inbox/c" + std::to_string(i + 1));
    const json& rect = links[i]["rect"];
    const double x = rect[0], y = rect[1], w = rect[2], h = rect[3];
    // Inside the inset, one row below the other, newest first.
    EXPECT_GE(x, 16);
    EXPECT_LE(x + w, 364 - 16);
    EXPECT_GE(y, bottom);
    EXPECT_GT(h, 10);
    EXPECT_LE(y + h, 382 - 16);
    bottom = y + h;
    // Each tap target is named by what it says, and its texts are among those read.
    const std::string name = links[i]["name"];
    EXPECT_TRUE(name.starts_with(texts[2 + 3 * i]["text"].get<std::string>())) << texts.dump();
  }
  EXPECT_EQ(texts[0]["text"], "Needs you");
  EXPECT_GE(texts[0]["rect"][1].get<double>(), 16);  // in the 20-point header
  EXPECT_LE(texts[0]["rect"][1].get<double>() + texts[0]["rect"][3].get<double>(), 36);
  // The all-projects rows link to their projects, one each.
  const auto all = render({"--kind", "AllProjectsWidget", "--family", "systemMedium", "--preview",
                           "--out", (out_ / "a.png").string()});
  ASSERT_EQ(all.status, 0) << all.error;
  std::vector<std::string> urls;
  const json allLinks = parsed(all)["links"];
  for (const json& link : allLinks) urls.push_back(link["url"]);
  EXPECT_FALSE(urls.empty()) << all.output;
  for (const std::string& url : urls) EXPECT_TRUE(url.starts_with("vantorix://open/app/projects/"));
}

TEST_F(RenderTest, AnEntryHandedBackIsDrawnAtItsOwnDate) {
  json entry = previewEntry("WaitingWidget");
  const std::int64_t later = millis(kNow) + 3'600'000;
  entry["date"] = later;
  entry["configuration"]["showDetails"] = false;
  const auto path = scratch_.path() / "entry.json";
  writeFile(path, entry.dump());

  const auto fromFile = render({"--kind", "WaitingWidget", "--family", "systemMedium", "--entry",
                                path.string(), "--out", (out_ / "file.png").string()});
  ASSERT_EQ(fromFile.status, 0) << fromFile.error;
  EXPECT_EQ(parsed(fromFile)["date"], later);
  // Indented deeply, the same entry spans many blocks of standard input.
  const std::string indented = entry.dump(1024);
  ASSERT_GT(indented.size(), 1u << 18);
  const auto fromInput = render({"--kind", "WaitingWidget", "--family", "systemMedium", "--entry",
                                 "-", "--out", (out_ / "input.png").string()},
                                indented);
  ASSERT_EQ(fromInput.status, 0) << fromInput.error;
  EXPECT_EQ(readFile(out_ / "file.png"), readFile(out_ / "input.png"));

  // A placeholder entry draws the message: nothing to tap.
  const auto placeholder = runDriver({"placeholder", "--kind", "ProjectSummaryWidget"});
  const auto drawn = render({"--kind", "ProjectSummaryWidget", "--family", "systemMedium",
                             "--entry", "-", "--out", (out_ / "placeholder.png").string()},
                            placeholder.output);
  ASSERT_EQ(drawn.status, 0) << drawn.error;
  EXPECT_EQ(parsed(drawn)["links"], json::array());
}

TEST_F(RenderTest, UsageErrorsExitTwoAndDrawNothing) {
  const std::string out = (out_ / "x.png").string();
  const std::vector<std::vector<std::string>> wrong = {
      {"--kind", "WaitingWidget", "--family", "systemExtraLarge", "--out", out},
      {"--kind", "ProjectSummaryWidget", "--family", "systemLarge", "--out", out},
      {"--kind", "AllProjectsWidget", "--family", "huge", "--out", out},
      {"--kind", "AllProjectsWidget", "--out", out},
      {"--kind", "AllProjectsWidget", "--family", "systemLarge"},
      {"--kind", "AllProjectsWidget", "--family", "systemLarge", "--scheme", "sepia", "--out", out},
      {"--kind", "AllProjectsWidget", "--family", "systemLarge", "--mode", "tinted", "--out", out},
      {"--kind", "AllProjectsWidget", "--family", "systemLarge", "--tint", "orange", "--out", out},
      {"--kind", "AllProjectsWidget", "--family", "systemLarge", "--format", "gif", "--out", out},
      {"--kind", "AllProjectsWidget", "--family", "systemLarge", "--scale", "0", "--out", out},
      {"--kind", "AllProjectsWidget", "--family", "systemLarge", "--preview", "--placeholder",
       "--out", out},
      {"--kind", "WaitingWidget", "--family", "systemSmall", "--entry", "-", "--show-details",
       "false", "--out", out},
      {"--kind", "WaitingWidget", "--family", "systemSmall", "--preview=yes", "--out", out},
  };
  for (const auto& arguments : wrong) {
    const auto result = render(arguments);
    EXPECT_EQ(result.status, 2) << arguments[3] << " " << result.error;
  }
  const auto notRender = runDriver({"timeline", "--kind", "AllProjectsWidget", "--scheme", "dark"});
  EXPECT_EQ(notRender.status, 2);
  EXPECT_TRUE(namesIn(out_).empty());
}

TEST_F(RenderTest, BadEntriesAndFailedWritesLeaveNothingBehind) {
  // A previous image stays as it was when the next request fails.
  const auto target = out_ / "w.png";
  writeFile(target, "previous");
  const auto missingFile = scratch_.path() / "none.json";
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"-", "{\"date\": 1, \"message\": \"x\""},  // cut short
      {"-", "{\"message\": \"x\", \"configuration\": {}}"},
      {"-", "{\"date\": 1, \"message\": \"x\", \"snapshot\": {\"at\": 1}}"},
      {"-", "{\"date\": 1, \"message\": \"x\", \"configuration\": {\"period\": \"days7\"}}"},
      {missingFile.string(), ""},
      {scratch_.path().string(), ""},
  };
  for (const auto& [source, input] : entries) {
    const auto result = render({"--kind", "WaitingWidget", "--family", "systemSmall", "--entry",
                                source, "--out", target.string()},
                               input);
    EXPECT_EQ(result.status, 1) << input;
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(result.output.empty());
  }
  EXPECT_EQ(readFile(target), "previous");

  // No folder to write in, or a folder where the image should go.
  const auto noFolder = render({"--kind", "WaitingWidget", "--family", "systemSmall", "--preview",
                                "--out", (out_ / "missing" / "w.png").string()});
  EXPECT_EQ(noFolder.status, 1);
  std::filesystem::create_directory(out_ / "taken.png");
  const auto onFolder = render({"--kind", "WaitingWidget", "--family", "systemSmall", "--preview",
                                "--out", (out_ / "taken.png").string()});
  EXPECT_EQ(onFolder.status, 1);
  EXPECT_NE(onFolder.error.find("taken.png"), std::string::npos) << onFolder.error;
  EXPECT_EQ(namesIn(out_), (std::vector<std::string>{"taken.png", "w.png"}));
}

TEST_F(RenderTest, ServeDrawsLikeTheCommandLine) {
  signIn();
  serveProjects({"delta"});
  const json entry = previewEntry("AllProjectsWidget");
  std::string input;
  input += json({{"id", 1},
                 {"op", "render"},
                 {"kind", "AllProjectsWidget"},
                 {"family", "systemLarge"},
                 {"entry", entry},
                 {"scheme", "dark"},
                 {"out", (out_ / "given.png").string()}})
               .dump() +
           "\n";
  input += json({{"id", 2},
                 {"op", "render"},
                 {"kind", "ProjectSummaryWidget"},
                 {"family", "systemMedium"},
                 {"configuration", {{"project", "delta"}}},
                 {"format", "svg"},
                 {"out", (out_ / "fresh.svg").string()}})
               .dump() +
           "\n";
  input += json({{"id", 3},
                 {"op", "render"},
                 {"kind", "WaitingWidget"},
                 {"family", "systemExtraLarge"},
                 {"placeholder", true},
                 {"out", (out_ / "wrong.png").string()}})
               .dump() +
           "\n";
  input += json({{"id", 4},
                 {"op", "render"},
                 {"kind", "WaitingWidget"},
                 {"family", "systemSmall"},
                 {"placeholder", true},
                 {"scale", 1},
                 {"out", (out_ / "placeholder.png").string()}})
               .dump() +
           "\n";
  // A member of the wrong type is this request's error; serving goes on.
  input += json({{"id", 5},
                 {"op", "render"},
                 {"kind", "WaitingWidget"},
                 {"family", "systemSmall"},
                 {"preview", "yes"},
                 {"out", (out_ / "typed.png").string()}})
               .dump() +
           "\n";
  const auto result = runDriver({"serve", "--now", nowOption()}, input);
  ASSERT_EQ(result.status, 0) << result.error;

  std::map<int, json> answers;
  std::istringstream lines(result.output);
  for (std::string line; std::getline(lines, line);) {
    const json answer = json::parse(line);
    answers[answer["id"].get<int>()] = answer;
  }
  ASSERT_EQ(answers.size(), 5u) << result.output;
  EXPECT_EQ(answers[1]["result"]["pixels"], json({728, 764}));
  EXPECT_EQ(answers[1]["result"]["links"].size(), 3u);
  // The first entry of a fresh timeline, with the configured project from the service.
  const std::string fresh = answers[2]["result"]["links"][0]["url"];
  EXPECT_TRUE(fresh.starts_with("vantorix://open/app/projects/delta")) << answers[2].dump();
  EXPECT_EQ(svgRoot(readFile(out_ / "fresh.svg")).width, "364pt");
  EXPECT_TRUE(answers[3].contains("error"));
  EXPECT_EQ(answers[4]["result"]["pixels"], json({170, 170}));
  EXPECT_TRUE(answers[5].contains("error"));
  EXPECT_EQ(namesIn(out_), (std::vector<std::string>{"fresh.svg", "given.png", "placeholder.png"}));
}

}  // namespace
}  // namespace vx::testing
