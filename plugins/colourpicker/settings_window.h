#pragma once
// The picker's settings, kept in "colourpicker.ini" beside the plugin library, and the small
// window that edits them (the plugin's "Configureplugin").
#include <QString>
#include <QWidget>
#include <functional>

#include "colour_format.h"

class QComboBox;
class QSpinBox;

namespace colourpicker {

struct PickerSettings {
  ColourFormat format = ColourFormat::Hex;
  int zoom = 8;  // magnification of the area around the pointer, 2..16

  static PickerSettings Load(const QString& file);
  void Save(const QString& file) const;
};

class SettingsWindow : public QWidget {
public:
  // saved runs after OK has written the settings.
  SettingsWindow(QString file, std::function<void()> saved);

private:
  void Accept();

  QString file_;
  std::function<void()> saved_;
  QComboBox* format_ = nullptr;
  QSpinBox* zoom_ = nullptr;
};

}  // namespace colourpicker
