// The least any Qt Widgets viewer does before its picture shows: the application object, the
// photo read through Qt's JPEG reader (on a thread, meanwhile), a window with it fitted. With
// --box, a message box comes first, as velkview's start-up box does on a machine without a
// mixer. Timed beside the viewers as the floor of a Qt Widgets program's start on this machine.
// Usage: qt_floor [--box] FILE
#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <cstring>
#include <future>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  QApplication app(argc, argv);
  const bool box = argc > 2 && std::strcmp(argv[1], "--box") == 0;
  const QSize area(800, 600);
  const QString path = QString::fromLocal8Bit(argv[argc - 1]);
  std::future<QImage> picture = std::async(std::launch::async, [&] {
    QImageReader reader(path);
    reader.setScaledSize(reader.size().scaled(area, Qt::KeepAspectRatio));
    return reader.read();
  });
  if (box)
    QMessageBox(QMessageBox::Critical, "Velk's JPEG Viewer", "No mixer present in the system !",
                QMessageBox::Ok)
        .exec();
  QLabel window;
  window.setWindowTitle("Velk's JPEG Viewer");
  window.setAlignment(Qt::AlignCenter);
  window.resize(area);
  window.setPixmap(QPixmap::fromImage(picture.get()));
  window.show();
  return app.exec();
}
