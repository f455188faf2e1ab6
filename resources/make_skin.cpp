// Writes the default skin into a folder: the main window's skin picture "vlkskin1.bmp" and the
// twelve toolbar glyphs, all drawn by the project's own code.
#include <QDir>
#include <cstdio>
#include <utility>

#include "app/main_form_layout.h"
#include "chrome/skin_art.h"
#include "platform/bmp_codec.h"
#include "platform/qimage_view.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SKINS_FOLDER\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  namespace layout = velk::layout;
  const QImage skin = velk::MainSkin(
      QSize(layout::kWidth, layout::kHeight), layout::kTitleBand.height(),
      layout::kToolbarBand.bottom() + 1,
      {layout::kDriveBox, layout::kFolderList, layout::kFileList, layout::kFilterBox,
       layout::kProperties, layout::kImageArea});
  const std::pair<const char*, QImage> files[] = {
      {"vlkskin1.bmp", skin},
      {"open.bmp", velk::GlyphStrip(velk::GlyphKind::Open, 1)},
      {"clear2.bmp", velk::GlyphStrip(velk::GlyphKind::Clear, 2)},
      {"retry2.bmp", velk::GlyphStrip(velk::GlyphKind::Refresh, 2)},
      {"full.bmp", velk::GlyphStrip(velk::GlyphKind::FullScreen, 2)},
      {"mglass.bmp", velk::GlyphStrip(velk::GlyphKind::Loupe, 1)},
      {"properties.bmp", velk::GlyphStrip(velk::GlyphKind::Options, 1)},
      {"speaker.bmp", velk::GlyphStrip(velk::GlyphKind::Volume, 1)},
      {"skins.bmp", velk::GlyphStrip(velk::GlyphKind::Skins, 1)},
      {"plugin.bmp", velk::GlyphStrip(velk::GlyphKind::Plugin, 1)},
      {"convert.bmp", velk::GlyphStrip(velk::GlyphKind::Convert, 1)},
      {"slideshow.bmp", velk::GlyphStrip(velk::GlyphKind::SlideShow, 1)},
      {"smallsmiley.bmp", velk::GlyphStrip(velk::GlyphKind::About, 1)},
  };
  for (const auto& [name, image] : files) {
    try {
      velk::SaveBmpFile(velk::BitmapFromQImage(image), (folder + "/" + name).toStdString());
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return 1;
    }
  }
  return 0;
}
