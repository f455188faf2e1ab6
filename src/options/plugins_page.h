#pragma once
// The Plugins Manager page: the registered plugins of "plugins.ini", their description files
// "plugin.pcf", and the main window's plugin drop-down, kept in step with every change. Also
// the plugins folder row of the General page.
#include <QObject>
#include <string>

class QComboBox;
class QLineEdit;

namespace velk {

class OptionsHost;
class TOptions;
class TToolbarButton97;

class TPluginsPage : public QObject {
  Q_OBJECT
public:
  // Finds the page's controls in the dialog and connects them.
  TPluginsPage(TOptions& options, OptionsHost& host);

  // Creation step 6: the count and plugins folder from [Settings], then the list and the
  // main window's drop-down.
  void LoadPluginList();

  // Event handlers.
  void OnPluginChosen();
  void OnAddClicked();
  void OnRemoveClicked();
  void OnApplyClicked();
  void OnStartClicked();
  void OnPropertiesClicked();
  void OnPluginFolderClicked();

  int PluginCount() const { return pluginCount_; }
  const std::string& LibraryPath() const { return libraryPath_; }

  QComboBox* pluginBox = nullptr;
  QLineEdit* nameEdit = nullptr;  // name (editable)
  QLineEdit* fileNameEdit = nullptr;  // file name
  QLineEdit* folderEdit = nullptr;  // directory
  QLineEdit* versionEdit = nullptr;  // version
  TToolbarButton97* removeButton = nullptr;
  TToolbarButton97* addButton = nullptr;
  TToolbarButton97* propertiesButton = nullptr;
  TToolbarButton97* startButton = nullptr;
  TToolbarButton97* applyButton = nullptr;

private:
  // The five buttons ("Toolbarbutton97" + 7..11) and four fields ("Edit97" + 2..5).
  void EnableControls(bool enabled);
  std::string PluginsIni() const;
  const std::string& PluginsFolder() const;
  void SetMenuItem(int index, const QString& text);
  void InsertMenuItem(int index, const QString& text);
  void RemoveMenuItem(int index);

  TOptions& options_;
  OptionsHost& host_;
  int pluginCount_ = 0;
  std::string libraryPath_;
};

}  // namespace velk
