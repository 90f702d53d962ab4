#include "widgets/snapshot_texts.hpp"

#include <gtest/gtest.h>

#include "model/snapshot_json.hpp"
#include "widgets/driver_json.hpp"

namespace vx::widgets::driver {
namespace {

Snapshot sample() {
  Snapshot snapshot;
  snapshot.at = Time(std::chrono::milliseconds(1'700'000'000'123));
  snapshot.periodAt["days7"] = snapshot.at;
  snapshot.projectCount = 2;
  for (const char* slug : {"one", "two"}) {
    ProjectEntry project;
    project.slug = slug;
    project.name =
        std::string(slug) + ".example \xC3\xA9 \xFF";  // é, then a byte that is not UTF-8
    project.metricsByPeriod["days7"].visitorsSeries = std::vector<double>{1.5, 2, 1e21};
    WaitingItem item;
    item.id = std::string(slug) + "-1";
    item.detail = "\"quoted\"\n";
    project.waiting.push_back(item);
    snapshot.projects.push_back(project);
  }
  return snapshot;
}

// Three entries sharing one snapshot, as a timeline has them.
Answer timelineAnswer(const SharedSnapshot& shared, const std::string& projectName) {
  host::Timeline<ProjectSummaryEntry> timeline;
  for (int i = 0; i < 3; ++i) {
    ProjectSummaryEntry entry;
    entry.date = Time(std::chrono::seconds(1'700'000'000 + i));
    entry.snapshot = shared;
    entry.message = "Open Vantorix to load your projects";
    entry.configuration.project = ProjectEntity{"one", projectName};
    timeline.entries.push_back(entry);
  }
  Answer reply = {{"id", 7}};
  reply["result"] = toJson(timeline);
  return reply;
}

std::string writtenWithTrees(const Answer& answer) {
  return answer.dump(-1, ' ', false, Answer::error_handler_t::replace);
}

TEST(SnapshotTexts, LinesAreTheSameAsWithTheSnapshotsWrittenInPlace) {
  const SharedSnapshot shared(sample());
  const std::string expected = writtenWithTrees(timelineAnswer(shared, "One"));
  for (int again = 0; again < 2; ++again) {  // the second time from the kept text
    const SnapshotTexts texts;
    EXPECT_EQ(texts.write(timelineAnswer(shared, "One")).joined(), expected);
  }
  // Another snapshot is encoded afresh, not taken for the last one.
  const SharedSnapshot other(Snapshot{});
  const std::string otherExpected = writtenWithTrees(timelineAnswer(other, "One"));
  const SnapshotTexts texts;
  EXPECT_EQ(texts.write(timelineAnswer(other, "One")).joined(), otherExpected);
}

// A burst of answers holds each snapshot's text once: the entries' pieces are that one text,
// not copies of it.
TEST(SnapshotTexts, EntriesOfALineShareTheSnapshotsText) {
  const SharedSnapshot shared(sample());
  const SnapshotTexts texts;
  const AnswerText line = texts.write(timelineAnswer(shared, "One"));
  const std::string snapshotText = writtenWithTrees(Answer(*snapshotToJson(*shared)));
  std::vector<const char*> copies;
  for (const std::string_view piece : line.pieces()) {
    if (piece == snapshotText) copies.push_back(piece.data());
  }
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0], copies[1]);
  EXPECT_EQ(copies[1], copies[2]);
}

TEST(SnapshotTexts, ATextThatLooksLikeAMarkerStaysAsItIs) {
  const SharedSnapshot shared(sample());
  for (const char* lookalike : {"\x01vx-snapshot-0\x01", "\x01vx-snapshot-2\x01"}) {
    const std::string expected = writtenWithTrees(timelineAnswer(shared, lookalike));
    const SnapshotTexts texts;
    EXPECT_EQ(texts.write(timelineAnswer(shared, lookalike)).joined(), expected) << lookalike;
  }
}

}  // namespace
}  // namespace vx::widgets::driver
