// The window's icons are SVG drawings: without Qt's SVG image-format plug-in every toolbar button
// and box comes up blank while QIcon still reports an icon, so only drawing them shows the fault.
#include "support/guiapplication.h"
#include "ui/icons.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace hl {
namespace {

class IconsTest : public test::GuiTest {};

TEST_F(IconsTest, EveryIconOfTheSetDraws) {
    ASSERT_TRUE(QImageReader::supportedImageFormats().contains("svg"))
        << "Qt's SVG image-format plug-in is missing";
    const QStringList files = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")});
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        const QString name = file.chopped(4);
        const QImage image = themeIcon(name).pixmap(QSize(48, 48)).toImage();
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) != 0;
        EXPECT_TRUE(drawn) << name.toStdString() << " draws nothing";
    }
}

} // namespace
} // namespace hl
