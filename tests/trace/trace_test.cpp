#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/TraceRecorder.h"
#include "trace/TraceUnit.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;

TEST(TraceError, ShowsOneBoxAndFramesTheMessageInTheLog) {
  test::TraceRecorder recorder;
  Trace().TraceError("TMyDatabase.SetData: Bad Field / pos : 3 -1");
  EXPECT_THAT(recorder.Boxes(), ElementsAre("*ERROR*TMyDatabase.SetData: Bad Field / pos : 3 -1"));
  EXPECT_THAT(recorder.Lines(),
              ElementsAre("*******ERROR*******", "TMyDatabase.SetData: Bad Field / pos : 3 -1",
                          "*******************", "rien"));
}

TEST(TraceError, VariantsWithNumbersJoinAsSpecified) {
  test::TraceRecorder recorder;
  Trace().TraceErrorIntInt("x: ", 3, -1);
  Trace().TraceErrorInt("bad col : ", -7);
  Trace().TraceErrorIntText("TMyList.GetItem[", 12, "] : index hors limites");
  EXPECT_THAT(recorder.Errors(),
              ElementsAre("x: 3 -1", "bad col : -7", "TMyList.GetItem[12] : index hors limites"));
}

TEST(TraceLine, WarningsAndLinesShowNoBox) {
  test::TraceRecorder recorder;
  Trace().TraceLine("plain");
  Trace().TraceWarning("careful");
  Trace().TraceWarningInt("Bad new Row :", -4);
  Trace().TraceLineIntInt("bad col row : ", 3, 0);
  Trace().TraceRefresh();
  EXPECT_TRUE(recorder.Boxes().empty());
  EXPECT_THAT(recorder.Lines(),
              ElementsAre("plain", "Warning : careful", "Warning : Bad new Row : -4", "bad col row : 3 0"));
}

TEST(TraceLine, LinesWithNoTraceWindowAreDroppedNotKeptForOneOpenedLater) {
  test::TraceRecorder recorder;  // for the boxes; its own window is closed below
  SetTraceForm(nullptr);
  Trace().TraceLine("nobody sees this");
  Trace().TraceWarning("nor this");
  Trace().TraceRefresh();
  TTraceForm later;
  int changes = 0;
  later.onChanged = [&changes] { ++changes; };
  SetTraceForm(&later);
  Trace().TraceLine("seen");
  SetTraceForm(nullptr);
  EXPECT_THAT(later.fMemo.Lines(), ElementsAre("seen"));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(recorder.Boxes().empty());
}

TEST(TraceMemo, TheLineAfterTheTenThousandthDropsTheOldest501) {
  TTraceForm form;
  int changes = 0;
  form.onChanged = [&changes] { ++changes; };
  SetTraceForm(&form);
  for (int i = 1; i <= 10000; ++i) Trace().TraceLine(std::to_string(i));
  EXPECT_EQ(form.fMemo.LineCount(), 10000);
  Trace().TraceLine("10001");
  SetTraceForm(nullptr);
  EXPECT_EQ(form.fMemo.LineCount(), 9500);
  EXPECT_EQ(form.fMemo.Line(0), "502");
  EXPECT_EQ(form.fMemo.Line(9499), "10001");
  EXPECT_EQ(changes, 10001);
}

TEST(TraceReporter, SetTraceReporterReturnsThePreviousOne) {
  test::TraceRecorder recorder;
  auto recording = SetTraceReporter(nullptr);  // back to stderr
  ASSERT_NE(recording, nullptr);
  Trace().TraceError("to stderr");
  EXPECT_TRUE(recorder.Boxes().empty());
  SetTraceReporter(std::move(recording));
  Trace().TraceError("recorded");
  EXPECT_THAT(recorder.Errors(), ElementsAre("recorded"));
}

}  // namespace
}  // namespace quillor
