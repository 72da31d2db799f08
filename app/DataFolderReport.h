// How the window tells the user that its own files cannot be written in the
// user's data folder (the kept draft, the journal of orders): one box for a
// run of failures, however many writes fail, until a write succeeds again.
// Such a failure never stops or undoes anything else. GUI thread only.
#pragma once

#include <string>

namespace quillor {

class TDataFolderReport {
 public:
  // `what` names the file's role ("le brouillon de la commande"), `place`
  // the folder or file (Windows-1252), `reason` the cause. Shows the box
  // unless one was shown since the last success.
  void Failed(const std::string& what, const std::string& place, const std::string& reason);
  void Succeeded() { fShown = false; }

 private:
  bool fShown = false;
};

}  // namespace quillor
