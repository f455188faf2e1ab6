#include "app/file_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QMenu>
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
  copyTo_ = make("Copy to a folder", Qt::Key_F7, &FileCommands::CopyToFolder);
  moveTo_ = make("Move to a folder", Qt::Key_F8, &FileCommands::MoveToFolder);
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
      {show_, {"325", "Show in the file manager"}},
      {copyTo_, {"339", "Copy to a folder"}}, {moveTo_, {"340", "Move to a folder"}},
      {undo_, {"326", "Undo"}}};
  for (const auto& [action, key] : names) action->setText(text(key.first, key.second));
  turnedText_ = text("338", "%1 turned for good. Ctrl+Z turns it back.");
  trashedText_ = text("327", "%1 moved to the trash. Ctrl+Z puts it back.");
  deletedText_ = text("328", "%1 deleted for good.");
  renamedText_ = text("329", "%1 renamed to %2. Ctrl+Z renames it back.");
  copiedText_ = text("330", "%1 copied.");
  undoneText_ = text("331", "Undone: %1 is back.");
  nothingText_ = text("332", "Nothing to undo.");
  askDeleteText_ = text("333", "Delete %1 for good? This cannot be undone.");
  copiedToText_ = text("341", "%1 copied to %2. Ctrl+Z removes the copy.");
  movedToText_ = text("342", "%1 moved to %2. Ctrl+Z moves it back.");
  otherFolderText_ = text("343", "Other folder...");
  clashText_ = text("344", "%1 is already in %2. Yes replaces it, No keeps both (the new one "
                           "as %3), Cancel leaves it where it is.");
}

void FileCommands::UpdateEnabled() {
  const bool selected = main_.fileList->ItemIndex() >= 0;
  for (QAction* action : {clockwise_, anticlockwise_, mirrorAcross_, mirrorDown_, trash_, delete_,
                          rename_, copy_, show_, copyTo_, moveTo_})
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

void FileCommands::CopyToFolder() { ChooseFolder(false); }
void FileCommands::MoveToFolder() { ChooseFolder(true); }

void FileCommands::ChooseFolder(bool move) {
  if (main_.fileList->FileName().empty()) return;
  const std::vector<std::string>& recent = main_.Settings().RecentFolders;
  // The recent folders under the selected file, then any other.
  QMenu menu(&main_);
  for (const std::string& folder : recent)
    menu.addAction(QString::fromStdString(folder))->setData(QString::fromStdString(folder));
  QAction* other = menu.addAction(otherFolderText_);
  QAction* chosen = other;
  if (!recent.empty()) {
    const QRect entry = main_.fileList->visualRect(main_.fileList->currentIndex());
    chosen = menu.exec(main_.fileList->viewport()->mapToGlobal(entry.bottomLeft()));
  }
  if (!chosen) return;
  const std::string start = recent.empty() ? main_.fileList->Directory() : recent.front();
  const std::string folder = chosen == other
                                 ? AppDialogs().PickFolder(chosen->text().toStdString(), start)
                                 : chosen->data().toString().toStdString();
  if (!folder.empty()) SendTo(folder, move);
}

void FileCommands::SendTo(const std::string& folder, bool move) {
  const std::string path = main_.fileList->FileName();
  if (path.empty()) return;
  std::vector<std::string>& recent = main_.Settings().RecentFolders;
  std::erase(recent, folder);
  recent.insert(recent.begin(), folder);
  if (recent.size() > size_t(kRecentFolderCount)) recent.pop_back();
  const auto clash = [&](const std::string& name) {
    const QString question = clashText_.arg(QString::fromStdString(name),
                                            QString::fromStdString(folder),
                                            QString::fromStdString(FreeName(folder, name)));
    switch (AppDialogs().Message(MessageKind::Confirmation, question.toStdString(),
                                 MessageButtons::YesNoCancel)) {
      case MessageAnswer::Yes: return Clash::Replace;
      case MessageAnswer::No: return Clash::KeepBoth;
      default: return Clash::Skip;
    }
  };
  Run([&] {
    const std::optional<FileChange> change = velk::CopyToFolder(path, folder, move, clash);
    if (!change) return QString();
    history_.Add(*change);
    main_.fileList->EntryChanged(change->to);  // a copy beside it is listed
    if (move) main_.fileList->EntryChanged(path);  // the next file takes its place
    return (move ? movedToText_ : copiedToText_)
        .arg(Name(path), QString::fromStdString(folder));
  });
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
    } else if (change.kind == FileChange::Kind::Copied) {
      main_.fileList->EntryChanged(change.to);
    } else if (change.kind == FileChange::Kind::Moved) {
      main_.fileList->EntryChanged(change.from);
      main_.fileList->SetFileName(change.from);  // and shown, when in the listed folder
    } else {
      main_.fileList->EntryRenamed(change.to, change.from);
    }
    return undoneText_.arg(Name(change.from));
  });
}

}  // namespace velk
