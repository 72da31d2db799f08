// Renders the order window into a PNG for the documentation:
//   quillor-screenshot OUTPUT.png
// Run from a folder holding Data/. The window is shown as a user would see it
// after searching "hydrocortisone" by substance (an article in shortage and
// one under supply tension among them, marked) and adding two boxes of an
// available one.
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

#include "app/MessagePresenter.h"
#include "app/QuillorApplication.h"
#include "app/Quillor_Unit.h"

namespace {

// Boxes would wait for a click that never comes: print them instead.
class PrintingPresenter : public quillor::MessagePresenter {
 public:
  void Show(quillor::TMessageKind, const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillor-screenshot OUTPUT.png\n");
    return 2;
  }
  quillor::QuillorApplication application(argc, argv);
  quillor::SetMessagePresenter(std::make_unique<PrintingPresenter>());
  quillor::TQuillor_Form form;
  form.RadioButton4->setChecked(true);
  // Typing searches in this mode.
  form.Edit1->setText(QStringLiteral("hydrocortisone"));
  for (int32_t row = 1; row < form.ArticleGrid->GetRowCount(); ++row) {
    if (form.ArticleGrid->GetCell(1, row).rfind("HYDROCORTISONE ROUSSEL 10MG", 0) == 0) {
      form.ArticleGrid->SetRow(row);
      form.Edit2->setText(QStringLiteral("2"));
      form.SpeedButton1Click();
      break;
    }
  }
  int status = 1;
  QTimer::singleShot(300, [&] {
    status = form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    application.quit();
  });
  application.exec();
  return status;
}
