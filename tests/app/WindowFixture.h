// A temporary working directory with Data/ files, private settings and data
// folders (XDG_CONFIG_HOME for the user's copy of the address,
// XDG_DATA_HOME for the journal and the draft), a recording message
// presenter (no test ever waits on a box) and the comma as decimal
// separator; and helpers to open the order window there and read its grid.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MessagePresenter.h"
#include "app/Quillor_Unit.h"
#include "app/WidgetText.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPresenter.h"
#include "tests/support/TraceRecorder.h"

namespace quillor::test {

// The order message's lines, as the window holds them.
inline std::vector<std::string> MessageLines(const TQuillor_Form& form) {
  return MemoLines(*form.Message_Memo);
}

// Every message the window would have shown.
struct RecordedMessage {
  TMessageKind kind;
  std::string text;
  bool windowVisible;  // whether the order window was on screen meanwhile
};

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // Copies the bundled Data/ files into the working directory.
  void UseBundledData();
  // A scrambled article file made of these plain lines (header first).
  void WriteArticles(const std::vector<std::string>& plainLines);
  // Settings with the bundled captions and these price settings.
  void WriteSettings(const std::string& coefficient, const std::string& decimals);
  void WriteDataFile(const std::string& name, const std::string& bytes);
  void RemoveDataFile(const std::string& name);

  std::unique_ptr<TQuillor_Form> Open(TQuillorOptions options = TestOptions());
  static TQuillorOptions TestOptions();

  // The user's copy of the address, in the private settings folder.
  std::filesystem::path UserAddressPath() const;
  // The private data folder (the application's, under XDG_DATA_HOME).
  std::filesystem::path UserDataPath() const;

  // Column `col` of the grid's data rows (row 1 on).
  static std::vector<std::string> Column(TQuillor_Form& form, int32_t col);
  static std::vector<std::string> TitleRow(TQuillor_Form& form);
  // Types `text` into the search box one character at a time.
  static void Type(TQuillor_Form& form, const std::string& text);
  static void PressEnter(TQuillor_Form& form);

  // Processes events until `condition` holds or two seconds passed; whether
  // it holds.
  static bool WaitUntil(const std::function<bool()>& condition);

  int ErrorCount() const;
  const std::vector<RecordedMessage>& Messages() const { return *fMessages; }

  TempDir fDir;
  std::shared_ptr<std::vector<RecordedMessage>> fMessages = std::make_shared<std::vector<RecordedMessage>>();
  std::vector<std::string> fOpenedUrls;
  // Whether the test's desktop has a mail program that takes the link.
  bool fMailProgramPresent = true;
  // Answers to the window's questions, in order (see TestPresenter).
  std::shared_ptr<std::deque<size_t>> fAnswers = std::make_shared<std::deque<size_t>>();

 private:
  std::filesystem::path fPreviousDirectory;
  std::unique_ptr<MessagePresenter> fPreviousPresenter;
  std::string fPreviousConfigHome;
  bool fHadConfigHome = false;
  std::string fPreviousDataHome;
  bool fHadDataHome = false;
  char fPreviousSeparator = ',';
};

}  // namespace quillor::test
