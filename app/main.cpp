// Quillor: the pharmacy order client. Takes no command-line options; reads
// its settings from ./Data under the working directory, or from the installed
// data when started from a folder that has none (DataFolder.h), and the
// catalogue in use by the same rule, after the user's updated one
// (CatalogueLocation.h). Only the program itself keeps the availability fresh
// at start-up (TQuillorOptions::refreshAvailability).
#include "app/QuillorApplication.h"
#include "app/Quillor_Unit.h"
#include "update/DataFolder.h"

int main(int argc, char** argv) {
  quillor::QuillorApplication application(argc, argv);
  quillor::EnterInstalledDataFolderIfNeeded();
  quillor::TQuillorOptions options;
  options.refreshAvailability = true;
  quillor::TQuillor_Form form(std::move(options));
  return application.exec();
}
