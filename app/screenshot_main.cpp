// Renders the order window into a PNG for the documentation:
//   quillor-screenshot OUTPUT.png
// Run from a folder holding Data/. The window is shown as a user would see it
// after searching "doliprane" and adding two boxes of the first article.
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "MessagePresenter.h"
#include "QuillorApplication.h"
#include "Quillor_Unit.h"

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
  form.Edit1->setText(QStringLiteral("doliprane"));
  char enter = '\r';
  form.Edit1KeyPress(enter);
  form.ArticleGrid->SetRow(1);
  form.Edit2->setText(QStringLiteral("2"));
  form.SpeedButton1Click();
  int status = 1;
  QTimer::singleShot(300, [&] {
    status = form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    application.quit();
  });
  application.exec();
  return status;
}
