#include "app/main_form_keys.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <initializer_list>

#include "app/file_commands.h"
#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "app/scroll_box.h"
#include "app/zoom.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

// The first local file or folder that a drag carries, or an empty info.
QFileInfo DraggedPath(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) {
      const QFileInfo path(url.toLocalFile());
      if (path.isFile() || path.isDir()) return path;
    }
  return {};
}

class KeysAndDrops : public QObject {
public:
  KeysAndDrops(TMainform& mainform, TFullscreenform& fullscreen)
      : QObject(&mainform), main_(mainform), fullscreen_(fullscreen) {
    // Return only where it means "this picture": the file list and the picture area.
    for (QWidget* area : std::initializer_list<QWidget*>{main_.fileList, main_.imageArea})
      for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        Bind(area, key, Qt::WidgetWithChildrenShortcut, [this] { FullScreen(); });
    // F11, F5, F1 and the rest of the toolbar's keys are the buttons' own (main_form_commands).
    for (const Qt::Key key : {Qt::Key_Plus, Qt::Key_Equal})  // "=" is "+" without Shift
      Bind(&main_, Qt::CTRL | key, Qt::WindowShortcut, [this] { StepZoom(-1); });
    Bind(&main_, Qt::CTRL | Qt::Key_Minus, Qt::WindowShortcut, [this] { StepZoom(+1); });
    Bind(&main_, Qt::CTRL | Qt::Key_0, Qt::WindowShortcut, [this] { ChooseZoom(kZoomToFit); });
    Bind(&main_, Qt::CTRL | Qt::Key_1, Qt::WindowShortcut, [this] { ChooseZoom(kZoom100); });
    main_.setAcceptDrops(true);
    main_.installEventFilter(this);
    fullscreen_.installEventFilter(this);
    fullscreenPicture_->installEventFilter(this);  // the wheel over the picture
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &fullscreen_) return FullscreenEvent(event);
    if (watched == fullscreenPicture_)
      return event->type() == QEvent::Wheel && FullscreenEvent(event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDropEvent*>(event);
      if (DraggedPath(drag->mimeData()).exists()) AcceptAsCopy(drag);
      return true;
    }
    if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      const QFileInfo path = DraggedPath(drop->mimeData());
      if (!path.exists()) return true;
      AcceptAsCopy(drop);
      Open(path);
      return true;
    }
    return false;
  }

private:
  // A drop only reads the file: taken as a copy, so no drag source deletes the user's file as
  // it would after a move.
  static void AcceptAsCopy(QDropEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  }

  template <typename Action>
  void Bind(QWidget* widget, QKeyCombination key, Qt::ShortcutContext context, Action action) {
    auto* shortcut = new QShortcut(key, widget);
    shortcut->setContext(context);
    connect(shortcut, &QShortcut::activated, this, action);
  }

  void FullScreen() { main_.fullScreenButton->click(); }

  void StepZoom(int step) { ChooseZoom(SteppedZoom(main_.zoomBox->currentIndex(), step)); }
  // A zoom entry chosen as by the user in the zoom box.
  void ChooseZoom(int index) { ChooseZoomEntry(*main_.zoomBox, index); }

  // As the command line: a file opens its folder and shows it; a folder is browsed to.
  void Open(const QFileInfo& path) {
    if (path.isDir()) {
      main_.folderList->SetDirectory(path.absoluteFilePath().toStdString());
      return;
    }
    main_.folderList->SetDirectory(path.absolutePath().toStdString());
    main_.fileList->SetFileName(path.absoluteFilePath().toStdString());
  }

  bool FullscreenEvent(QEvent* event) {
    // The view takes the keyboard as it opens, also when no window manager hands it over.
    if (event->type() == QEvent::Show) {
      fullscreen_.activateWindow();
      fullscreen_.setFocus(Qt::OtherFocusReason);
    }
    if (event->type() == QEvent::Hide) main_.activateWindow();  // and hands it back on leaving
    const int count = int(main_.fileList->Items().size());
    const int current = main_.fileList->ItemIndex();
    int next;
    if (event->type() == QEvent::Wheel) {
      // A notch down is the next file, up the previous; touchpads send parts of a notch.
      wheel_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
      const int steps = wheel_ / 120;
      wheel_ -= steps * 120;
      if (steps == 0 || count == 0) return true;
      next = std::clamp(current - steps, 0, count - 1);
    } else if (event->type() == QEvent::KeyPress) {
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_F11: fullscreen_.Leave(); return true;
        case Qt::Key_Space:
        case Qt::Key_PageDown: next = current + 1; break;
        case Qt::Key_Backspace:
        case Qt::Key_PageUp: next = current - 1; break;
        case Qt::Key_Delete:  // the shown file to the trash, and on to the next
          main_.fileCommands->MoveToTrash();
          if (main_.fileList->ItemIndex() < 0) fullscreen_.Leave();
          else main_.ShowFullScreenWhenLoaded();
          return true;
        case Qt::Key_Home: next = 0; break;
        case Qt::Key_End: next = count - 1; break;
        default: return false;
      }
    } else {
      return false;
    }
    if (next < 0 || next >= count || next == current) return true;
    // Selecting the entry shows it in the main window, as a click in the list does; the view
    // here then shows the same: the picture, or nothing under the file's name when it failed
    // (the "Full screen" command is off then, but the view must not keep the previous one).
    main_.fileList->SetItemIndex(next);
    main_.ShowFullScreenWhenLoaded();
    return true;
  }

  TMainform& main_;
  TFullscreenform& fullscreen_;
  // Compared, never followed: its events also come while the full-screen window is destroyed.
  QObject* const fullscreenPicture_ = fullscreen_.pictureView;
  int wheel_ = 0;
};

}  // namespace

void InstallKeysAndDrops(TMainform& mainform, TFullscreenform& fullscreen) {
  new KeysAndDrops(mainform, fullscreen);
}

}  // namespace velk
