// The window on a screen that scales by two: its pictures are drawn with
// twice the pixels, not stretched from pictures drawn for one.
#include <gtest/gtest.h>

#include <QIcon>
#include <QLabel>
#include <QToolButton>

#include "app/MessagePresenter.h"
#include "app/QuillorApplication.h"
#include "app/Quillor_Unit.h"
#include "app/SvgPicture.h"
#include "tests/support/TestPresenter.h"

namespace quillor {
namespace {

TEST(HiDpiWindowTest, LogoAndGlyphsAreDrawnAtTheScreensPixelRatio) {
  qputenv("QT_SCALE_FACTOR", "2");
  int argc = 1;
  char name[] = "hidpi_test";
  char* argv[] = {name, nullptr};
  QuillorApplication application(argc, argv);
  test::ScopedPresenter silent(std::make_unique<test::TestPresenter>());
  {
    TQuillor_Form form;
    ASSERT_DOUBLE_EQ(form.devicePixelRatioF(), 2.0);

    const QPixmap logo = form.Image1->pixmap();
    EXPECT_DOUBLE_EQ(logo.devicePixelRatio(), 2.0);
    EXPECT_EQ(logo.size(), QSize(818, 242));
    EXPECT_EQ(logo.toImage(),
              RenderSvg(QStringLiteral(":/quillor/logo.svg"), QSize(409, 121), 2.0).toImage());

    const struct {
      QToolButton* button;
      const char* resource;
    } glyphs[] = {{form.SpeedButton1, ":/quillor/add.svg"}, {form.SpeedButton2, ":/quillor/search.svg"}};
    for (const auto& glyph : glyphs) {
      const QSize size = glyph.button->iconSize();
      const QPixmap drawn = glyph.button->icon().pixmap(size, 2.0);
      EXPECT_EQ(drawn.size(), size * 2) << glyph.resource;
      // Stretched from a picture of one pixel per point, it would differ.
      EXPECT_EQ(drawn.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                RenderSvg(QString::fromLatin1(glyph.resource), size, 2.0)
                    .toImage()
                    .convertToFormat(QImage::Format_ARGB32_Premultiplied))
          << glyph.resource;
    }
  }
}

}  // namespace
}  // namespace quillor
