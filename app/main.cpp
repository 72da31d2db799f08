// Quillor: the pharmacy order client. Takes no command-line options; reads
// its files from ./Data under the working directory.
#include "QuillorApplication.h"
#include "Quillor_Unit.h"

int main(int argc, char** argv) {
  quillor::QuillorApplication application(argc, argv);
  quillor::TQuillor_Form form;
  return application.exec();
}
