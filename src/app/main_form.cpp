// The main window's construction: its controls, their places and names, and their wiring.
#include "app/main_form.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <tuple>
#include <utility>

#include "app/file_commands.h"
#include "app/fullscreen_form.h"
#include "app/main_form_commands.h"
#include "app/main_form_keys.h"
#include "app/main_form_layout.h"
#include "app/picture_mouse.h"
#include "app/scroll_box.h"
#include "app/zoom.h"
#include "chrome/g_progress.h"
#include "chrome/path_combo_box.h"
#include "chrome/shortcut_link.h"
#include "chrome/skin_art.h"
#include "chrome/trans_image.h"
#include "gif/gif_image.h"
#include "image/image_aspect.h"
#include "image/jpeg_image.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/filter_combo_box.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

// ".jpeg" is listed beside ".jpg": both load alike ("*.tif*" already takes ".tiff").
constexpr const char* kFilterText =
    "All Supported Files|*.jpg;*.jpeg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;|All Files|*.*";

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(geometry);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  label->setPalette(palette);
  return label;
}

}  // namespace


TMainform::TMainform(ViewerSettings& settings, TLoupeform* loupe, TFullscreenform* fullscreen,
                     MainformEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      loupe_(loupe),
      fullscreen_(fullscreen),
      environment_(std::move(environment)),
      ownLoader_(environment_.loader ? nullptr : std::make_unique<PictureLoader>()),
      loader_(environment_.loader ? environment_.loader : ownLoader_.get()) {
  AllowFittingOnLoads();
  setObjectName("Mainform");
  setWindowTitle("Velk's JPEG Viewer");
  setFixedSize(770, 542);
  QFont font("Tahoma");
  font.setPointSize(8);
  setFont(font);
  BuildControls();
  ConnectControls();
  if (!environment_.arguments.isEmpty()) {
    const QFileInfo file(environment_.arguments.first());
    if (file.isFile()) startFile_ = file.absoluteFilePath().toStdString();
  }
  // Several files (a file manager's "Open with" on a selection): the list holds just those.
  if (!startFile_.empty() && environment_.arguments.size() > 1)
    for (const QString& argument : environment_.arguments)
      if (const QFileInfo file(argument); file.isFile())
        givenFiles_.push_back(file.absoluteFilePath().toStdString());
  if (fullscreen_) InstallKeysAndDrops(*this, *fullscreen_);
  fileCommands = new FileCommands(*this);
  InstallToolbarCommands(*this);
  InstallPictureMouse(*this);
  fileList->setFocus();  // the first key browses the files, not the zoom box
  FormCreate();
}

TMainform::~TMainform() = default;

void TMainform::BuildControls() {
  // The skin picture under everything; it also gives the window its shape.
  skinImage = new TTransImage(this);
  skinImage->SetAdjustFormSize(false);
  skinImage->SetTransColor(0x00FFFBF0);
  // Not a control to the pointer: a press on the skin drags the window like the bare form.
  skinImage->setAttribute(Qt::WA_TransparentForMouseEvents);
  // The title and toolbar panels stand over the skin in the scheme's colours.
  for (auto [panel, band] : {std::pair{&titlePanel, layout::kTitleBand},
                             std::pair{&toolbarPanel, layout::kToolbarBand}}) {
    *panel = new QWidget(this);
    (*panel)->setGeometry(band);
    (*panel)->setAutoFillBackground(true);
    QPalette black = (*panel)->palette();
    black.setColor(QPalette::Window, Qt::black);
    (*panel)->setPalette(black);
  }
  titleLabel = MakeLabel(this, "Velk's JPEG Viewer", layout::kTitle);
  QFont title = titleLabel->font();
  title.setBold(true);
  titleLabel->setFont(title);
  BuildToolbar();
  BuildBrowser();
  BuildPropertiesPanel();
  BuildImageArea();
  statusLine = MakeLabel(this, "", layout::kStatusLine);
  progressBar = new TGProgress(this);
  progressBar->setGeometry(layout::kProgressBar);
  progressBar->setAttribute(Qt::WA_TransparentForMouseEvents);  // drags like the skin
  progressBar->SetGradientBar(true);
  progressBar->SetSolid(true);
  // Deep blue to light blue in a sunken slot like the skin's wells: black blocks on black
  // would not show on the default skin.
  progressBar->SetColor(RGB(30, 70, 150));
  progressBar->SetFrameColor1(RGB(8, 9, 12));
  progressBar->SetFrameColor2(RGB(88, 96, 116));
  progressBar->SetBackgroundColor(RGB(10, 11, 15));
  progressBar->SetColorEnd(RGB(90, 170, 250));
  progressBar->hide();
  launcherLink = std::make_unique<TShortcutLink>();
  NameControls();
}

void TMainform::NameControls() {
  // Language files, skins and tests find the controls by these names.
  const std::pair<QObject*, const char*> names[] = {
      {skinImage, "TransImage1"},             {titlePanel, "Panel1"},
      {toolbarPanel, "Panel2"},               {titleLabel, "Label12"},
      {minimizeButton, "ToolbarButton978"},   {closeButton, "ToolbarButton979"},
      {executeButton, "ToolbarButton971"},    {clearButton, "ToolbarButton973"},
      {refreshButton, "ToolbarButton974"},    {fullScreenButton, "ToolbarButton975"},
      {loupeButton, "ToolbarButton977"},      {optionsButton, "ToolbarButton976"},
      {volumeButton, "ToolbarButton9710"},    {skinsButton, "ToolbarButton9713"},
      {pluginMenuButton, "OptionBox971"},     {convertButton, "ToolbarButton9712"},
      {slideShowButton, "ToolbarButton9714"}, {aboutButton, "ToolbarButton972"},
      {zoomBox, "ComboBox1"},                 {driveBox, "PathComboBox1"},
      {folderList, "DirectoryListBox1"},      {fileList, "FileListBox1"},
      {filterBox, "FilterComboBox1"},         {propertiesHeading, "Label11"},
      {nameCaption, "Label1"},                {nameValue, "Label6"},
      {locationCaption, "Label2"},            {locationValue, "Label7"},
      {sizeCaption, "Label3"},                {sizeValue, "Label8"},
      {typeCaption, "Label4"},                {typeValue, "Label9"},
      {modifiedCaption, "Label5"},            {modifiedValue, "Label10"},
      {imageArea, "ScrollBox1"},              {fitView, "ImageAspect1"},
      {pictureView, "JPEGImage1"},            {statusLine, "Statusbar1"},
      {progressBar, "ProgressBar1"}};
  for (const auto& [control, name] : names) control->setObjectName(name);
}

void TMainform::BuildToolbar() {
  auto button = [this](const char* caption, const char* hint, QRect geometry) {
    auto* b = new TToolbarButton97(this);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->setGeometry(geometry);
    return b;
  };
  minimizeButton = button("_", "Minimize", layout::kMinimizeButton);
  closeButton = button("x", "Close", layout::kCloseButton);
  int x = layout::kToolbarLeft;
  // The built-in glyphs; a skin may replace them.
  auto tool = [&](const char* hint, GlyphKind glyph, int glyphs) {
    auto* b = button("", hint, QRect(x, layout::kToolbarTop, layout::kToolbarButtonSize,
                                     layout::kToolbarButtonSize));
    b->SetGlyph(GlyphStrip(glyph, glyphs));
    b->SetNumGlyphs(glyphs);
    x += layout::kToolbarButtonSize + 3;
    return b;
  };
  executeButton = tool("Execute file", GlyphKind::Open, 1);
  clearButton = tool("Clear screen", GlyphKind::Clear, 2);
  refreshButton = tool("Refresh", GlyphKind::Refresh, 2);
  fullScreenButton = tool("Full screen", GlyphKind::FullScreen, 2);
  x += 8;
  loupeButton = tool("Show or hide the Loupe", GlyphKind::Loupe, 1);
  optionsButton = tool("Options", GlyphKind::Options, 1);
  volumeButton = tool("Set volume", GlyphKind::Volume, 1);
  skinsButton = tool("Skins Manager", GlyphKind::Skins, 1);
  pluginMenuButton = new TOptionBox(this);
  pluginMenuButton->Button()->SetGlyph(GlyphStrip(GlyphKind::Plugin, 1));
  pluginMenuButton->Button()->SetHint("Plugins manager");
  pluginMenuButton->Button()->SetTag(0);
  pluginMenuButton->setGeometry(x, layout::kToolbarTop, layout::kToolbarButtonSize + 12,
                                layout::kToolbarButtonSize);
  x += layout::kToolbarButtonSize + 15;
  pluginMenuButton->SetItems({"Plugins Manager", "-"});
  convertButton = tool("Conversion tool", GlyphKind::Convert, 1);
  slideShowButton = tool("Slide Show", GlyphKind::SlideShow, 1);
  x += 8;
  aboutButton = tool("About Velk's JPEG Viewer", GlyphKind::About, 1);
  for (auto* b : {executeButton, clearButton, refreshButton, fullScreenButton})
    b->setEnabled(false);
  const std::pair<TToolbarButton97*, int> tags[] = {
      {executeButton, 1}, {clearButton, 5}, {refreshButton, 8}, {fullScreenButton, 7},
      {loupeButton, 14}, {optionsButton, 12}, {aboutButton, 10}};
  for (const auto& [b, tag] : tags) b->SetTag(tag);

  zoomBox = new QComboBox(this);
  zoomBox->addItems(ZoomEntries());
  zoomBox->setCurrentIndex(-1);  // the design selects nothing: pictures show at 100 %
  zoomBox->setToolTip("Set the zoom");
  zoomBox->setGeometry(layout::kZoomBox);
}

void TMainform::BuildBrowser() {
  driveBox = new TPathComboBox(this);
  driveBox->setToolTip("Choose a drive");
  driveBox->setGeometry(layout::kDriveBox);

  folderList = new TDirectoryListBox(this);
  folderList->setToolTip("Choose a directory");
  folderList->setGeometry(layout::kFolderList);

  fileList = new TFileListBox(this);
  fileList->setToolTip("Display a file");
  fileList->setGeometry(layout::kFileList);
  folderList->SetFileList(fileList);

  filterBox = new TFilterComboBox(this);
  filterBox->setToolTip("Set the file filter");
  filterBox->SetFilter(kFilterText);
  filterBox->setGeometry(layout::kFilterBox);
}

void TMainform::BuildPropertiesPanel() {
  propertiesHeading = MakeLabel(this, "File Properties...", QRect(8, 408, 220, 14));
  QFont heading = propertiesHeading->font();
  heading.setBold(true);
  propertiesHeading->setFont(heading);
  const char* captions[] = {"File Name:", "Location:", "Size:", "File Type:", "Modified:"};
  QLabel** captionLabels[] = {&nameCaption, &locationCaption, &sizeCaption, &typeCaption,
                              &modifiedCaption};
  QLabel** valueLabels[] = {&nameValue, &locationValue, &sizeValue, &typeValue, &modifiedValue};
  const char* initial[] = {"", "", "0B", "(none)", "0/0/00"};
  for (int i = 0; i < 5; ++i) {
    const int y = 426 + i * 17;
    *captionLabels[i] = MakeLabel(this, captions[i], QRect(8, y, 60, 13));
    *valueLabels[i] = MakeLabel(this, initial[i], QRect(68, y, 169, 13));
  }
  nameValue->setFixedWidth(169);
  locationValue->adjustSize();
}

void TMainform::BuildImageArea() {
  imageArea = new ScrollBox(this);
  imageArea->setGeometry(layout::kImageArea);
  QPalette area = imageArea->palette();
  area.setColor(QPalette::Window, QColor(24, 26, 34));  // the picture's surround until a skin
  imageArea->setPalette(area);
  imageArea->viewport()->setAutoFillBackground(true);
  imageArea->Client()->setAutoFillBackground(true);
  fitView = new TImageAspect(imageArea->Client());
  fitView->SetAlign(TAlign::Client);
  pictureView = new TJPEGImage(imageArea->Client());
  pictureView->SetNumOfColors(TNumOfColors::TrueColor);
  pictureView->SetDCTMethod(TDCTMethod::Integ);
  pictureView->SetDither(TDither::FS);
  pictureView->SetProgressStep(1);
  pictureView->SetQuality(75);
  pictureView->SetAlign(TAlign::Client);
  // The viewer shows a damaged photo as far as it decodes (the status line says so); the
  // converter's control keeps failing at the first warning.
  pictureView->SetTolerateWarnings(true);
}

void TMainform::ConnectControls() {
  connect(driveBox, &TPathComboBox::OnChange, this, [this] {
    folderList->SetDirectory(driveBox->Path());
  });
  connect(folderList, &TDirectoryListBox::OnChange, this, [this] {
    driveBox->SetPath(folderList->Directory());
  });
  connect(fileList, &TFileListBox::OnChange, this, [this] {
    if (!quietSelection_) OnFileSelected();
  });
  connect(fileList, &TFileListBox::OnSelectedRenamed, this, &TMainform::OnShownFileRenamed);
  fileList->setProperty("Tag", 7);  // a double-click shows the file full screen
  connect(fileList, &TFileListBox::OnDblClick, this, [this] { MenuClick(fileList); });
  for (auto* b : {executeButton, clearButton, refreshButton, fullScreenButton,
                  loupeButton, optionsButton, aboutButton})
    connect(b, &QAbstractButton::clicked, this, [this, b] { MenuClick(b); });
  const std::pair<TToolbarButton97*, int> pages[] = {
      {volumeButton, 3}, {skinsButton, 4}, {convertButton, 8}, {slideShowButton, 9}};
  for (const auto& [b, node] : pages)
    connect(b, &QAbstractButton::clicked, this, [this, node = node] { OpenPage(node); });
  connect(pluginMenuButton, &TOptionBox::OnButtonClick, this, [this](QObject* s) { pihandler(s); });
  connect(pluginMenuButton, &TOptionBox::OnItemClick, this, [this](int index) { plugmenu(index); });
  connect(zoomBox, &QComboBox::activated, this, [this] { OnZoomChanged(); });
  connect(pictureView, &TCustomJPEGImage::OnProgress, this, [this] { OnPictureProgress(); });
  connect(loader_, &PictureLoader::Progress, this, [this] {
    // The bar comes up once a decode has taken a frame: showing and hiding it for a quicker
    // one would only repaint the skin under it.
    if (progressBar->isHidden()) {
      if (progressFrame_.elapsed() < kProgressFrameMs) {
        progressBar->SetPosition(progressBar->Position() + 1);
        return;
      }
      progressBar->show();
    }
    OnPictureProgress();
  });
  connect(loader_, &PictureLoader::Ready, this,
          [this](const LoadedPointer& loaded) { Present(loaded); });
  connect(minimizeButton, &QAbstractButton::clicked, this, [this] { OnMinimizeClicked(); });
  connect(closeButton, &QAbstractButton::clicked, this, [this] { close(); });
}

void TMainform::paintEvent(QPaintEvent*) {
  // "Main Form Colour", where no skin picture covers the form.
  QPainter painter(this);
  painter.fillRect(rect(), formColour_);
}

void TMainform::mousePressEvent(QMouseEvent* event) {
  // The client area drags the window wherever no control takes the press: the skin, the
  // panels and the labels pass it on to here.
  if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
  QWidget::mousePressEvent(event);
}

}  // namespace velk
