// velkview: until the main window stands, the viewer shows one picture in a plain window
// through the JPEG display control.
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "gif/gif_format.h"
#include "image/jpeg_image.h"
#include "image/tiff_reader.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/file_path.h"
#include "platform/program_folder.h"
#include "platform/qt_dialogs.h"
#include "platform/system_colors.h"

namespace {

void ShowFile(velk::TJPEGImage& view, const std::string& path) {
  const std::string extension = velk::LowerFileExt(path);
  if (extension == "jpg" || extension == "jpeg") {
    view.SetNumOfColors(velk::TNumOfColors::TrueColor);
    view.SetFileName(path);
  } else if (extension == "tif" || extension == "tiff") {
    velk::Bitmap bitmap;
    // The reader shows its own messages; whatever it decoded is shown.
    velk::LoadTiffIntoBitmap(path, bitmap);
    view.GetPicture().SetBitmap(std::move(bitmap));
  } else {
    view.GetPicture().LoadFromFile(path);
  }
}

// With VELKVIEW_SCREENSHOT set, the screen is captured into that file once the window shows,
// and the program ends.
void ScheduleScreenshot(QWidget& window) {
  const char* target = std::getenv("VELKVIEW_SCREENSHOT");
  if (!target || !*target) return;
  const QString path = QString::fromLocal8Bit(target);
  QTimer::singleShot(1500, &window, [&window, path] {
    const QPixmap shot = window.screen()->grabWindow(0);
    const bool saved = shot.save(path, "PNG");
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot:" : "could not write",
                 qPrintable(path));
    QApplication::exit(saved ? 0 : 1);
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  velk::Application app(argc, argv);
  velk::Application::SetTitle("Velk's JPEG Viewer");
  velk::InstallPaletteSystemColors();
  velk::InstallDialogs(std::make_shared<velk::QtDialogs>());
  velk::RegisterGifFormat();

  QWidget window;
  window.setWindowTitle("Velk's JPEG Viewer");
  auto* view = new velk::TJPEGImage(&window);
  view->setObjectName("JPEGImage1");
  const std::string file = argc > 1 ? argv[1] : velk::ProgramFolder() + "sample.jpg";
  try {
    ShowFile(*view, file);
  } catch (const std::exception& error) {
    velk::ShowException(error);
  }
  const QSize size = view->GetPicture().HasGraphic()
                         ? QSize(view->GetPicture().Width(), view->GetPicture().Height())
                         : QSize(320, 240);
  const QSize available = window.screen()->availableGeometry().size() * 9 / 10;
  window.resize(size.boundedTo(available));
  view->SetStretch(size != window.size());
  view->SetAlign(velk::TAlign::Client);
  window.show();
  ScheduleScreenshot(window);
  return app.exec();
}
