// The commands that change the shown file, driven as a user does (the list's own editor for a
// rename), with the trash in a folder of the test's.
#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "image/jpeg_codec.h"
#include "image/jpeg_image.h"
#include "image/loupe_form.h"
#include "platform/atomic_file.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "support/temp_dir.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

class FileCommandsTest : public ::testing::Test {
protected:
  FileCommandsTest() {
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.File("data")));  // the trash's home
    fs::create_directories(pictures);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
      SaveBmpFile(Bitmap(8 + name[0] - 'a', 6, 24), pictures + "/" + name);
    environment = MainformEnvironment::InFolder(dir.Path());
    environment.arguments = {QString::fromStdString(pictures + "/b.bmp")};
    form = std::make_unique<TMainform>(settings, &loupe, &fullscreen, environment);
    form->FinishStartup();
  }
  ~FileCommandsTest() override { qunsetenv("XDG_DATA_HOME"); }

  std::string Status() const { return form->statusLine->text().toStdString(); }
  std::string Trash(const std::string& part) const { return dir.File("data/Trash/" + part); }
  QLineEdit* NameEditor() const {
    return qobject_cast<QLineEdit*>(form->fileList->indexWidget(form->fileList->currentIndex()));
  }
  void RenameInPlace(const QString& name) {
    form->fileCommands->Rename();
    QLineEdit* editor = NameEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText(name);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the list takes the name a moment later
  }

  test::TempDir dir;
  std::string pictures = dir.Path() + "/pictures";
  ScopedScriptedDialogs dialogs;
  MainformEnvironment environment;
  ViewerSettings settings;
  TLoupeform loupe;
  TFullscreenform fullscreen;
  std::unique_ptr<TMainform> form;
};

TEST_F(FileCommandsTest, TheTrashTakesTheFileAndUndoPutsItBackByteForByte) {
  const std::string b = pictures + "/b.bmp", bytes = dir.Read("pictures/b.bmp");
  form->fileCommands->MoveToTrash();
  EXPECT_FALSE(fs::exists(b));
  EXPECT_EQ(dir.Read("data/Trash/files/b.bmp"), bytes);
  EXPECT_NE(dir.Read("data/Trash/info/b.bmp.trashinfo").find("Path=" + b), std::string::npos);
  EXPECT_EQ(form->fileList->FileName(), pictures + "/c.bmp");  // the next one, shown
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 10);
  EXPECT_EQ(Status(), "b.bmp moved to the trash. Ctrl+Z puts it back.");

  form->fileCommands->Undo();
  EXPECT_EQ(dir.Read("pictures/b.bmp"), bytes);
  EXPECT_FALSE(fs::exists(Trash("files/b.bmp")));
  EXPECT_FALSE(fs::exists(Trash("info/b.bmp.trashinfo")));
  EXPECT_EQ(form->fileList->FileName(), b);
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 9);
  EXPECT_EQ(Status(), "Undone: b.bmp is back.");
  form->fileCommands->Undo();
  EXPECT_EQ(Status(), "Nothing to undo.");

  // Full screen: Delete, and the view goes on to the next file.
  form->ShowFullScreen();
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(&fullscreen, &del);
  EXPECT_FALSE(fs::exists(b));
  EXPECT_EQ(fullscreen.captionLabel->text().toStdString(), pictures + "/c.bmp");
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(FileCommandsTest, RenameInPlaceRefusesBadNamesAndUndoes) {
  form->fileCommands->Rename();
  QLineEdit* editor = NameEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->selectedText(), "b");  // the name part; the extension stays
  QTest::keyClick(editor, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  const struct {
    QString name;
    const char* said;
  } refused[] = {{"a.bmp", "A file named 'a.bmp' is already there."},
                 {"x/y.bmp", "A file name cannot hold \"/\""}};
  for (const auto& bad : refused) {
    SCOPED_TRACE(bad.name.toStdString());
    RenameInPlace(bad.name);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, bad.said);
    dialogs->messages.clear();
    EXPECT_TRUE(fs::exists(pictures + "/b.bmp"));
    EXPECT_EQ(dir.Read("pictures/a.bmp").size(), fs::file_size(pictures + "/a.bmp"));
  }

  RenameInPlace("z.bmp");
  EXPECT_TRUE(fs::exists(pictures + "/z.bmp"));
  EXPECT_EQ(form->fileList->FileName(), pictures + "/z.bmp");
  EXPECT_EQ(form->nameValue->text(), "z.bmp");
  EXPECT_EQ(Status(), "b.bmp renamed to z.bmp. Ctrl+Z renames it back.");
  form->fileCommands->Undo();
  EXPECT_TRUE(fs::exists(pictures + "/b.bmp"));
  EXPECT_EQ(form->fileList->FileName(), pictures + "/b.bmp");

  // A file changed on disk since is left as it is.
  RenameInPlace("z.bmp");
  { std::ofstream(pictures + "/z.bmp", std::ios::app) << "more"; }
  form->fileCommands->Undo();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, "'z.bmp' has changed since; it was left as it is.");
  EXPECT_TRUE(fs::exists(pictures + "/z.bmp"));
}

// A JPEG turns for good at once (the file's own decode turned) and back; other kinds say no.
TEST_F(FileCommandsTest, TurnsRewriteAJpegAndUndoTurnsItBack) {
  Bitmap photo(64, 48, 24);
  for (int y = 0; y < 16; ++y)  // a red top-left corner
    for (int x = 0; x < 16; ++x) photo.ScanLine(y)[x * 3 + 2] = 255;
  WriteFileAtomically(pictures + "/d.jpg", EncodeJpeg(photo, JpegEncodeOptions{}));
  form->fileList->SetFileName(pictures + "/d.jpg");
  form->fileCommands->TurnShown(Turn::Clockwise);
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 48);
  EXPECT_EQ(Status(), "d.jpg turned for good. Ctrl+Z turns it back.");
  const std::string turned = dir.Read("pictures/d.jpg");
  const Bitmap stored = DecodeJpeg(reinterpret_cast<const uint8_t*>(turned.data()),
                                   turned.size(), JpegDecodeOptions{});
  EXPECT_EQ(stored.Width(), 48);
  EXPECT_GT(stored.PixelColor(40, 4).red, 200);  // the corner went to the top right
  // Undone through a move to the trash and back, newest first.
  form->fileCommands->MoveToTrash();
  form->fileCommands->Undo();
  form->fileCommands->Undo();
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 64);
  EXPECT_TRUE(dialogs->messages.empty());

  form->fileList->SetFileName(pictures + "/b.bmp");
  const std::string bytes = dir.Read("pictures/b.bmp");
  form->fileCommands->TurnShown(Turn::MirrorLeftRight);
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text,
            "Only JPEG files can be turned for good; 'b.bmp' was left as it is.");
  EXPECT_EQ(dir.Read("pictures/b.bmp"), bytes);
}

// A taken name asks: leave it, keep both, or replace. The copy keeps the file's time; undo
// removes the copy or moves the file back.
TEST_F(FileCommandsTest, CopyAndMoveToAFolderAskWhenTheNameIsTaken) {
  const std::string other = dir.File("other"), b = pictures + "/b.bmp";
  fs::create_directories(other);
  dir.Write("other/b.bmp", "another picture");
  const std::string bytes = dir.Read("pictures/b.bmp");
  dialogs->answers = {MessageAnswer::Cancel, MessageAnswer::No, MessageAnswer::Yes};

  form->fileCommands->SendTo(other, false);  // Cancel: left where it is
  EXPECT_EQ(dir.Read("other/b.bmp"), "another picture");
  EXPECT_FALSE(fs::exists(other + "/b (2).bmp"));
  EXPECT_EQ(dialogs->messages[0].text, "b.bmp is already in " + other + ". Yes replaces it, No "
            "keeps both (the new one as b (2).bmp), Cancel leaves it where it is.");

  form->fileCommands->SendTo(other, false);  // No: both kept
  EXPECT_EQ(dir.Read("other/b (2).bmp"), bytes);
  EXPECT_EQ(fs::last_write_time(other + "/b (2).bmp"), fs::last_write_time(b));
  EXPECT_EQ(Status(), "b.bmp copied to " + other + ". Ctrl+Z removes the copy.");
  form->fileCommands->Undo();
  EXPECT_FALSE(fs::exists(other + "/b (2).bmp"));

  form->fileCommands->SendTo(other, true);  // Yes: replaced, and the next file shown
  EXPECT_EQ(dir.Read("other/b.bmp"), bytes);
  EXPECT_FALSE(fs::exists(b));
  EXPECT_EQ(form->fileList->FileName(), pictures + "/c.bmp");
  EXPECT_EQ(Status(), "b.bmp moved to " + other + ". Ctrl+Z moves it back.");
  form->fileCommands->Undo();
  EXPECT_EQ(dir.Read("pictures/b.bmp"), bytes);
  EXPECT_EQ(form->fileList->FileName(), b);
  EXPECT_EQ(dialogs->messages.size(), 3u);

  // The folder is offered first next time, also after a new start.
  ASSERT_TRUE(form->FormClose());
  form.reset();
  settings = ViewerSettings();
  form = std::make_unique<TMainform>(settings, &loupe, &fullscreen, environment);
  EXPECT_EQ(settings.RecentFolders, std::vector<std::string>{other});
}

TEST_F(FileCommandsTest, DeleteForGoodAsksFirst) {
  dialogs->answers = {MessageAnswer::No, MessageAnswer::Yes};
  form->fileCommands->DeleteForGood();
  EXPECT_TRUE(fs::exists(pictures + "/b.bmp"));
  form->fileCommands->DeleteForGood();
  EXPECT_FALSE(fs::exists(pictures + "/b.bmp"));
  EXPECT_FALSE(fs::exists(Trash("files/b.bmp")));
  EXPECT_EQ(dialogs->messages[0].text, "Delete b.bmp for good? This cannot be undone.");
  EXPECT_EQ(form->fileList->FileName(), pictures + "/c.bmp");
  EXPECT_EQ(Status(), "b.bmp deleted for good.");
}

TEST_F(FileCommandsTest, CopyGivesThePictureAndTheFile) {
  form->fileCommands->Copy();
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  const QUrl file = QUrl::fromLocalFile(QString::fromStdString(pictures + "/b.bmp"));
  EXPECT_EQ(copied->urls(), QList<QUrl>{file});
  EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).size(), QSize(9, 6));
  EXPECT_EQ(Status(), "b.bmp copied.");
}

TEST_F(FileCommandsTest, EveryCommandHasAKeyAndAName) {
  std::set<QString> keys;
  for (const QAction* action : form->fileCommands->Actions()) {
    EXPECT_FALSE(action->text().isEmpty());
    EXPECT_TRUE(keys.insert(action->shortcut().toString()).second) << action->text().toStdString();
  }
  EXPECT_EQ(keys, (std::set<QString>{"Ctrl+R", "Ctrl+Shift+R", "Ctrl+Shift+M", "Ctrl+Shift+U",
                                     "Del", "Shift+Del", "F2", "Ctrl+C", "Ctrl+Shift+F", "F7",
                                     "F8", "Ctrl+Z"}));
}

}  // namespace
}  // namespace velk
