#include "options/plugins_page.h"

#include <QComboBox>
#include <algorithm>
#include <QFrame>
#include <QLineEdit>
#include <sys/stat.h>

#include "options/options_form.h"
#include "options/options_host.h"
#include "options/viewer_settings.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/profile_file.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

constexpr const char* kPluginKeys[] = {"Name", "Filename", "Directory", "Version"};

std::string Section(int index) { return "Plugin" + std::to_string(index); }

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

TPluginsPage::TPluginsPage(TOptions& options, OptionsHost& host)
    : QObject(&options), options_(options), host_(host) {
  // Looked up on the page itself, so a same-named control elsewhere in the dialog can't answer.
  QWidget* page = options.Panels[6];
  auto find = [page]<class T>(T*& control, const char* name) {
    for (T* child : page->findChildren<T*>())
      if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) control = child;
  };
  find(pluginBox, "ComboBox974");
  find(nameEdit, "Edit972");
  find(fileNameEdit, "Edit973");
  find(folderEdit, "Edit974");
  find(versionEdit, "Edit975");
  find(removeButton, "ToolbarButton977");
  find(addButton, "ToolbarButton978");
  find(propertiesButton, "ToolbarButton979");
  find(startButton, "ToolbarButton9710");
  find(applyButton, "ToolbarButton9711");

  // Only the user's choice raises the selection change; selecting by program doesn't.
  connect(pluginBox, &QComboBox::activated, this, &TPluginsPage::OnPluginChosen);
  connect(addButton, &TToolbarButton97::clicked, this, &TPluginsPage::OnAddClicked);
  connect(removeButton, &TToolbarButton97::clicked, this, &TPluginsPage::OnRemoveClicked);
  connect(applyButton, &TToolbarButton97::clicked, this, &TPluginsPage::OnApplyClicked);
  connect(startButton, &TToolbarButton97::clicked, this, &TPluginsPage::OnStartClicked);
  connect(propertiesButton, &TToolbarButton97::clicked, this, &TPluginsPage::OnPropertiesClicked);
  connect(options.pluginFolderButton, &TToolbarButton97::clicked, this,
          &TPluginsPage::OnPluginFolderClicked);
}

std::string TPluginsPage::PluginsIni() const { return options_.ProgramFolder() + kPluginsFile; }
const std::string& TPluginsPage::PluginsFolder() const { return host_.Settings().pluginsFolder; }

void TPluginsPage::EnableControls(bool enabled) {
  QWidget* page = options_.Panels[6];
  auto enable = [&](const QString& name) {
    for (QWidget* child : page->findChildren<QWidget*>())
      if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) child->setEnabled(enabled);
  };
  for (int i = 7; i <= 11; ++i) enable(QString("Toolbarbutton97%1").arg(i));
  for (int i = 2; i <= 5; ++i) enable(QString("Edit97%1").arg(i));
}

void TPluginsPage::SetMenuItem(int index, const QString& text) {
  QStringList items = host_.PluginMenuItems();
  if (index >= 0 && index < items.size()) items[index] = text;
  host_.SetPluginMenuItems(items);
}

void TPluginsPage::InsertMenuItem(int index, const QString& text) {
  QStringList items = host_.PluginMenuItems();
  items.insert(std::clamp<qsizetype>(index, 0, items.size()), text);
  host_.SetPluginMenuItems(items);
}

void TPluginsPage::RemoveMenuItem(int index) {
  QStringList items = host_.PluginMenuItems();
  if (index >= 0 && index < items.size()) items.removeAt(index);
  host_.SetPluginMenuItems(items);
}

void TPluginsPage::LoadPluginList() {
  const ProfileFile plugins(PluginsIni());
  pluginCount_ = plugins.ReadInteger("Settings", "Plugins", 0);
  host_.Settings().pluginsFolder =
      plugins.ReadString("Settings", "Plugindir", options_.ProgramFolder() + "plugins/");
  options_.pluginFolderEdit->setText(QString::fromStdString(PluginsFolder()));
  if (pluginCount_ == 0) RemoveMenuItem(1);
  if (pluginCount_ < 1) return;
  EnableControls(true);
  for (int i = 0; i < pluginCount_; ++i)
    pluginBox->addItem(QString::fromStdString(plugins.ReadString(Section(i), "Name", "")));
  pluginBox->setEnabled(true);
  pluginBox->setCurrentIndex(0);
  OnPluginChosen();
  QStringList items = host_.PluginMenuItems();
  for (int i = 0; i < pluginBox->count(); ++i)
    items << QString::fromStdString(plugins.ReadString(Section(i), "Name", "") + " - " +
                                    plugins.ReadString(Section(i), "Version", ""));
  host_.SetPluginMenuItems(items);
}

void TPluginsPage::OnPluginChosen() {
  const ProfileFile plugins(PluginsIni());
  const std::string section = Section(pluginBox->currentIndex());
  QLineEdit* fields[] = {nameEdit, fileNameEdit, folderEdit, versionEdit};
  for (int i = 0; i < 4; ++i)
    fields[i]->setText(QString::fromStdString(plugins.ReadString(section, kPluginKeys[i], "")));
  libraryPath_ = PluginsFolder() + Text(folderEdit) + Text(fileNameEdit);
}

void TPluginsPage::OnAddClicked() {
  FileBoxRequest request;
  request.filter = "Plugin Configuration Files|*.pcf";
  request.initialDir = options_.PluginBoxFolder();
  const std::vector<std::string> chosen = AppDialogs().OpenFiles(request);
  if (chosen.empty()) return;
  const std::string description = chosen.front();
  const ProfileFile pcf(description);
  std::string values[4];
  for (int i = 0; i < 4; ++i) values[i] = pcf.ReadString("Settings", kPluginKeys[i], "");
  const std::string& name = values[0];
  const std::string& filename = values[1];
  const std::string& directory = values[2];
  // Adding alone puts a separator between folder and file, so a "Directory" without its
  // trailing one still works here.
  const std::string library = PluginsFolder() + directory + "/" + filename;
  if (!FileExists(library)) return;

  // The scan leaves the selection where it ended, matched or not.
  bool matched = false;
  if (pluginBox->count() > 0) {
    int index = 0;
    pluginBox->setCurrentIndex(index);
    while (pluginBox->currentText().toStdString() != name && index < pluginBox->count() - 1)
      pluginBox->setCurrentIndex(++index);
    matched = pluginBox->currentText().toStdString() == name;
  }
  if (matched &&
      AppDialogs().Message(MessageKind::Information,
                           "This plugin has already been installed.\n"
                           "Do you wish to reinstall this plugin?",
                           MessageButtons::YesNo) != MessageAnswer::Yes)
    return;

  QLineEdit* fields[] = {nameEdit, fileNameEdit, folderEdit, versionEdit};
  for (int i = 0; i < 4; ++i) fields[i]->setText(QString::fromStdString(values[i]));
  EnableControls(true);
  if (pluginBox->count() == 0) InsertMenuItem(host_.PluginMenuItems().size(), "-");
  pluginBox->addItem(nameEdit->text());
  pluginBox->setEnabled(true);
  pluginBox->setCurrentIndex(pluginBox->count() - 1);

  ++pluginCount_;
  libraryPath_ = library;
  ProfileFile plugins(PluginsIni());
  const std::string section = Section(pluginCount_ - 1);
  // The entry and the count land in one write, before the plugin's .pcf is marked installed.
  plugins.BeginUpdate();
  for (int i = 0; i < 4; ++i) plugins.WriteString(section, kPluginKeys[i], Text(fields[i]));
  plugins.WriteInteger("Settings", "Plugins", pluginCount_);
  plugins.EndUpdate();
  ProfileFile(description).WriteString("Settings", "Installed", "1");
  InsertMenuItem(host_.PluginMenuItems().size(),
                 QString::fromStdString(plugins.ReadString(section, "Name", "") + " - " +
                                        Text(versionEdit)));
}

void TPluginsPage::OnRemoveClicked() {
  if (!AppDialogs().Confirm("Are you sure you want to remove this plugin?")) return;
  // Only unmarked: the plugin's files stay where they are. The mark is a courtesy: an entry
  // whose folder is gone (or read-only) must still be removable.
  try {
    ProfileFile(PluginsFolder() + Text(folderEdit) + "plugin.pcf")
        .WriteString("Settings", "Installed", "0");
  } catch (const EFileError&) {
  }
  const int removed = pluginBox->currentIndex();
  pluginBox->removeItem(removed);
  RemoveMenuItem(removed + 2);

  // Close the gap: every later section moves down one, and the former last one goes.
  ProfileFile plugins(PluginsIni());
  plugins.BeginUpdate();
  const int remaining = pluginBox->count();
  for (int j = removed + 1; j <= remaining; ++j)
    for (const char* key : kPluginKeys)
      plugins.WriteString(Section(j - 1), key, plugins.ReadString(Section(j), key, ""));
  plugins.EraseSection(Section(remaining));
  --pluginCount_;
  plugins.WriteInteger("Settings", "Plugins", pluginCount_);
  plugins.EndUpdate();

  pluginBox->setCurrentIndex(0);
  if (pluginBox->count() == 0) {
    EnableControls(false);
    addButton->setEnabled(true);
    RemoveMenuItem(1);
    pluginBox->setEnabled(false);
  }
  OnPluginChosen();
}

void TPluginsPage::OnApplyClicked() {
  QLineEdit* fields[] = {nameEdit, fileNameEdit, folderEdit, versionEdit};
  ProfileFile pcf(PluginsFolder() + Text(folderEdit) + "plugin.pcf");
  pcf.BeginUpdate();
  for (int i = 0; i < 4; ++i) pcf.WriteString("Settings", kPluginKeys[i], Text(fields[i]));
  pcf.EndUpdate();
  const int index = pluginBox->currentIndex();
  ProfileFile plugins(PluginsIni());
  plugins.BeginUpdate();
  for (int i = 0; i < 4; ++i) plugins.WriteString(Section(index), kPluginKeys[i], Text(fields[i]));
  plugins.EndUpdate();
  // The drop-down shows the bare name until the list is loaded again with the version.
  pluginBox->setItemText(index, nameEdit->text());
  SetMenuItem(index + 2, nameEdit->text());
  pluginBox->setCurrentIndex(index);
}

void TPluginsPage::OnStartClicked() { host_.StartPlugin(libraryPath_, "Startplugin"); }

void TPluginsPage::OnPropertiesClicked() { host_.StartPlugin(libraryPath_, "Configureplugin"); }

void TPluginsPage::OnPluginFolderClicked() {
  std::string folder = AppDialogs().PickFolder("Browse for Plugins Directory", PluginsFolder());
  if (folder.empty()) return;
  if (folder.back() != '/') folder += '/';
  options_.pluginFolderEdit->setText(QString::fromStdString(folder));
  host_.Settings().pluginsFolder = folder;  // written to "plugins.ini" when the dialog hides
}

}  // namespace velk
