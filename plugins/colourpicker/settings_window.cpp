#include "settings_window.h"

#include <QComboBox>
#include <algorithm>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace colourpicker {

PickerSettings PickerSettings::Load(const QString& file) {
  const QSettings ini(file, QSettings::IniFormat);
  PickerSettings settings;
  const int format = ini.value("Picker/Format", 0).toInt();
  if (format >= 0 && format <= 2) settings.format = static_cast<ColourFormat>(format);
  settings.zoom = std::clamp(ini.value("Picker/Zoom", 8).toInt(), 2, 16);
  return settings;
}

void PickerSettings::Save(const QString& file) const {
  QSettings ini(file, QSettings::IniFormat);
  ini.setValue("Picker/Format", static_cast<int>(format));
  ini.setValue("Picker/Zoom", zoom);
}

SettingsWindow::SettingsWindow(QString file, std::function<void()> saved)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint),
      file_(std::move(file)),
      saved_(std::move(saved)) {
  setObjectName("ColourPickerSettings");
  setWindowTitle("Colour Picker - Settings");
  setAttribute(Qt::WA_DeleteOnClose);
  const PickerSettings settings = PickerSettings::Load(file_);

  auto* about = new QLabel(
      "<b>Colour Picker 1.0</b><br>A plugin for Velk's JPEG Viewer.<br>"
      "Point anywhere on the screen to read the colour under the pointer. Press Space to "
      "hold it, then Copy.",
      this);
  about->setWordWrap(true);
  about->setFixedWidth(300);
  about->setMinimumHeight(about->heightForWidth(300));
  format_ = new QComboBox(this);
  for (ColourFormat format : {ColourFormat::Hex, ColourFormat::Rgb, ColourFormat::ColorRef})
    format_->addItem(FormatName(format));
  format_->setCurrentIndex(static_cast<int>(settings.format));
  zoom_ = new QSpinBox(this);
  zoom_->setRange(2, 16);
  zoom_->setSuffix("x");
  zoom_->setValue(settings.zoom);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);

  auto* form = new QFormLayout;
  form->addRow("Copy as:", format_);
  form->addRow("Magnification:", zoom_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(about);
  layout->addLayout(form);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void SettingsWindow::Accept() {
  PickerSettings settings;
  settings.format = static_cast<ColourFormat>(format_->currentIndex());
  settings.zoom = zoom_->value();
  settings.Save(file_);
  if (saved_) saved_();
  close();
}

}  // namespace colourpicker
