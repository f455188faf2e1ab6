#include "app/file_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/main_form.h"
#include "image/jpeg_image.h"
#include "options/languages.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/qimage_view.h"
#include "widgets/file_list_box.h"

namespace velk {

namespace {

// The freedesktop call that shows a file selected in the file manager's window.
bool FileManagerShows(const QUrl& file) {
  QDBusInterface manager("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                         "org.freedesktop.FileManager1", QDBusConnection::sessionBus());
  if (!manager.isValid()) return false;
  manager.setTimeout(3000);
  const QDBusMessage reply = manager.call("ShowItems", QStringList{file.toString()}, QString());
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

FileCommands::FileCommands(TMainform& mainform) : QObject(&mainform), main_(mainform) {
  const auto make = [this](const char* name, QKeySequence key, auto run) {
    auto* action = new QAction(name, &main_);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, run);
    main_.addAction(action);
    actions_.push_back(action);
    return action;
  };
  const auto turn = [this](Turn how) { return [this, how] { TurnShown(how); }; };
  clockwise_ = make("Turn clockwise", Qt::CTRL | Qt::Key_R, turn(Turn::Clockwise));
  anticlockwise_ =
      make("Turn anticlockwise", Qt::CTRL | Qt::SHIFT | Qt::Key_R, turn(Turn::Anticlockwise));
  mirrorAcross_ =
      make("Mirror left to right", Qt::CTRL | Qt::SHIFT | Qt::Key_M, turn(Turn::MirrorLeftRight));
  mirrorDown_ =
      make("Mirror top to bottom", Qt::CTRL | Qt::SHIFT | Qt::Key_U, turn(Turn::MirrorTopBottom));
  trash_ = make("Move to the trash", Qt::Key_Delete, &FileCommands::MoveToTrash);
  delete_ = make("Delete for good", Qt::SHIFT | Qt::Key_Delete, &FileCommands::DeleteForGood);
  rename_ = make("Rename", Qt::Key_F2, &FileCommands::Rename);
  copy_ = make("Copy", QKeySequence::Copy, &FileCommands::Copy);
  show_ = make("Show in the file manager", Qt::CTRL | Qt::SHIFT | Qt::Key_F,
               &FileCommands::ShowInFileManager);
  undo_ = make("Undo", QKeySequence::Undo, &FileCommands::Undo);
  connect(main_.fileList, &TFileListBox::OnRenameAsked, this, &FileCommands::RenameTo);
}

void FileCommands::Translate(const LanguageTexts& text) {
  const std::pair<QAction*, std::pair<const char*, const char*>> names[] = {
      {clockwise_, {"334", "Turn clockwise"}}, {anticlockwise_, {"335", "Turn anticlockwise"}},
      {mirrorAcross_, {"336", "Mirror left to right"}},
      {mirrorDown_, {"337", "Mirror top to bottom"}},
      {trash_, {"321", "Move to the trash"}}, {delete_, {"322", "Delete for good"}},
      {rename_, {"323", "Rename"}},           {copy_, {"324", "Copy"}},
      {show_, {"325", "Show in the file manager"}}, {undo_, {"326", "Undo"}}};
  for (const auto& [action, key] : names) action->setText(text(key.first, key.second));
  turnedText_ = text("338", "%1 turned for good. Ctrl+Z turns it back.");
  trashedText_ = text("327", "%1 moved to the trash. Ctrl+Z puts it back.");
  deletedText_ = text("328", "%1 deleted for good.");
  renamedText_ = text("329", "%1 renamed to %2. Ctrl+Z renames it back.");
  copiedText_ = text("330", "%1 copied.");
  undoneText_ = text("331", "Undone: %1 is back.");
  nothingText_ = text("332", "Nothing to undo.");
  askDeleteText_ = text("333", "Delete %1 for good? This cannot be undone.");
}

void FileCommands::UpdateEnabled() {
  const bool selected = main_.fileList->ItemIndex() >= 0;
  for (QAction* action : {clockwise_, anticlockwise_, mirrorAcross_, mirrorDown_, trash_, delete_,
                          rename_, copy_, show_})
    action->setEnabled(selected);
  undo_->setEnabled(!history_.Empty());
}

QString FileCommands::Name(const std::string& path) const {
  return QFileInfo(QString::fromStdString(path)).fileName();
}

template <typename Step>
void FileCommands::Run(Step step) {
  try {
    main_.ShowNotice(step());
  } catch (const std::exception& error) {
    ShowException(error);
  }
}

void FileCommands::TurnShown(Turn turn) {
  const std::string path = main_.fileList->FileName();
  if (path.empty()) return;
  Run([&] {
    history_.Add(TurnFile(path, turn));
    main_.OnFileSelected();  // shown again as it is now
    return turnedText_.arg(Name(path));
  });
}

void FileCommands::MoveToTrash() {
  const std::string path = main_.fileList->FileName();
  if (path.empty()) return;
  Run([&] {
    history_.Add(velk::MoveToTrash(path));
    main_.fileList->EntryChanged(path);  // the next file takes its place, as it is shown
    return trashedText_.arg(Name(path));
  });
}

void FileCommands::DeleteForGood() {
  const std::string path = main_.fileList->FileName();
  if (path.empty() || !AppDialogs().Confirm(askDeleteText_.arg(Name(path)).toStdString())) return;
  Run([&] {
    DeleteFile(path);
    main_.fileList->EntryChanged(path);
    return deletedText_.arg(Name(path));
  });
}

void FileCommands::Rename() { main_.fileList->EditSelectedName(); }

void FileCommands::RenameTo(const std::string& path, const std::string& newName) {
  Run([&] {
    const FileChange change = RenameFile(path, newName);
    history_.Add(change);
    main_.fileList->EntryRenamed(change.from, change.to);
    return renamedText_.arg(Name(change.from), Name(change.to));
  });
}

void FileCommands::Copy() {
  const std::string path = main_.fileList->FileName();
  if (path.empty()) return;
  auto* data = new QMimeData;
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
  data->setUrls({url});  // a file manager pastes the file
  data->setData("x-special/gnome-copied-files", "copy\n" + url.toEncoded());
  Picture shown = main_.pictureView->GetPicture();  // a copy: an animation keeps running
  if (shown.Width() > 0) data->setImageData(BitmapAsQImage(shown.Bitmap()).copy());
  QApplication::clipboard()->setMimeData(data);
  main_.ShowNotice(copiedText_.arg(Name(path)));
}

void FileCommands::ShowInFileManager() {
  const std::string path = main_.fileList->FileName();
  if (path.empty()) return;
  const QFileInfo file(QString::fromStdString(path));
  if (!FileManagerShows(QUrl::fromLocalFile(file.absoluteFilePath())))
    QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
}

void FileCommands::Undo() {
  if (history_.Empty()) {
    main_.ShowNotice(nothingText_);
    return;
  }
  Run([&] {
    const FileChange change = history_.TakeLast();
    UndoChange(change);
    if (change.kind == FileChange::Kind::Trashed) {
      main_.fileList->EntryChanged(change.from);
      main_.fileList->SetFileName(change.from);  // and shown
    } else if (change.kind == FileChange::Kind::Turned) {
      if (main_.fileList->FileName() == change.from) main_.OnFileSelected();
    } else {
      main_.fileList->EntryRenamed(change.to, change.from);
    }
    return undoneText_.arg(Name(change.from));
  });
}

}  // namespace velk
