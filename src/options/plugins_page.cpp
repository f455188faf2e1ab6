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
  find(ComboBox974, "ComboBox974");
  find(Edit972, "Edit972");
  find(Edit973, "Edit973");
  find(Edit974, "Edit974");
  find(Edit975, "Edit975");
  find(ToolbarButton977, "ToolbarButton977");
  find(ToolbarButton978, "ToolbarButton978");
  find(ToolbarButton979, "ToolbarButton979");
  find(ToolbarButton9710, "ToolbarButton9710");
  find(ToolbarButton9711, "ToolbarButton9711");

  // Only the user's choice raises the selection change; selecting by program doesn't.
  connect(ComboBox974, &QComboBox::activated, this, &TPluginsPage::ComboBox974Change);
  connect(ToolbarButton978, &TToolbarButton97::clicked, this, &TPluginsPage::ToolbarButton978Click);
  connect(ToolbarButton977, &TToolbarButton97::clicked, this, &TPluginsPage::ToolbarButton977Click);
  connect(ToolbarButton9711, &TToolbarButton97::clicked, this,
          &TPluginsPage::ToolbarButton9711Click);
  connect(ToolbarButton9710, &TToolbarButton97::clicked, this,
          &TPluginsPage::ToolbarButton9710Click);
  connect(ToolbarButton979, &TToolbarButton97::clicked, this, &TPluginsPage::ToolbarButton979Click);
  connect(options.ToolbarButton9712, &TToolbarButton97::clicked, this,
          &TPluginsPage::ToolbarButton9712Click);
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
  options_.Edit976->setText(QString::fromStdString(PluginsFolder()));
  if (pluginCount_ == 0) RemoveMenuItem(1);
  if (pluginCount_ < 1) return;
  EnableControls(true);
  for (int i = 0; i < pluginCount_; ++i)
    ComboBox974->addItem(QString::fromStdString(plugins.ReadString(Section(i), "Name", "")));
  ComboBox974->setEnabled(true);
  ComboBox974->setCurrentIndex(0);
  ComboBox974Change();
  QStringList items = host_.PluginMenuItems();
  for (int i = 0; i < ComboBox974->count(); ++i)
    items << QString::fromStdString(plugins.ReadString(Section(i), "Name", "") + " - " +
                                    plugins.ReadString(Section(i), "Version", ""));
  host_.SetPluginMenuItems(items);
}

void TPluginsPage::ComboBox974Change() {
  const ProfileFile plugins(PluginsIni());
  const std::string section = Section(ComboBox974->currentIndex());
  QLineEdit* fields[] = {Edit972, Edit973, Edit974, Edit975};
  for (int i = 0; i < 4; ++i)
    fields[i]->setText(QString::fromStdString(plugins.ReadString(section, kPluginKeys[i], "")));
  libraryPath_ = PluginsFolder() + Text(Edit974) + Text(Edit973);
}

void TPluginsPage::ToolbarButton978Click() {
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
  if (ComboBox974->count() > 0) {
    int index = 0;
    ComboBox974->setCurrentIndex(index);
    while (ComboBox974->currentText().toStdString() != name && index < ComboBox974->count() - 1)
      ComboBox974->setCurrentIndex(++index);
    matched = ComboBox974->currentText().toStdString() == name;
  }
  if (matched &&
      AppDialogs().Message(MessageKind::Information,
                           "This plugin has already been installed.\n"
                           "Do you wish to reinstall this plugin?",
                           MessageButtons::YesNo) != MessageAnswer::Yes)
    return;

  QLineEdit* fields[] = {Edit972, Edit973, Edit974, Edit975};
  for (int i = 0; i < 4; ++i) fields[i]->setText(QString::fromStdString(values[i]));
  EnableControls(true);
  if (ComboBox974->count() == 0) InsertMenuItem(host_.PluginMenuItems().size(), "-");
  ComboBox974->addItem(Edit972->text());
  ComboBox974->setEnabled(true);
  ComboBox974->setCurrentIndex(ComboBox974->count() - 1);

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
                                        Text(Edit975)));
}

void TPluginsPage::ToolbarButton977Click() {
  if (!AppDialogs().Confirm("Are you sure you want to remove this plugin?")) return;
  // Only unmarked: the plugin's files stay where they are. The mark is a courtesy: an entry
  // whose folder is gone (or read-only) must still be removable.
  try {
    ProfileFile(PluginsFolder() + Text(Edit974) + "plugin.pcf")
        .WriteString("Settings", "Installed", "0");
  } catch (const EFileError&) {
  }
  const int removed = ComboBox974->currentIndex();
  ComboBox974->removeItem(removed);
  RemoveMenuItem(removed + 2);

  // Close the gap: every later section moves down one, and the former last one goes.
  ProfileFile plugins(PluginsIni());
  plugins.BeginUpdate();
  const int remaining = ComboBox974->count();
  for (int j = removed + 1; j <= remaining; ++j)
    for (const char* key : kPluginKeys)
      plugins.WriteString(Section(j - 1), key, plugins.ReadString(Section(j), key, ""));
  plugins.EraseSection(Section(remaining));
  --pluginCount_;
  plugins.WriteInteger("Settings", "Plugins", pluginCount_);
  plugins.EndUpdate();

  ComboBox974->setCurrentIndex(0);
  if (ComboBox974->count() == 0) {
    EnableControls(false);
    ToolbarButton978->setEnabled(true);
    RemoveMenuItem(1);
    ComboBox974->setEnabled(false);
  }
  ComboBox974Change();
}

void TPluginsPage::ToolbarButton9711Click() {
  QLineEdit* fields[] = {Edit972, Edit973, Edit974, Edit975};
  ProfileFile pcf(PluginsFolder() + Text(Edit974) + "plugin.pcf");
  pcf.BeginUpdate();
  for (int i = 0; i < 4; ++i) pcf.WriteString("Settings", kPluginKeys[i], Text(fields[i]));
  pcf.EndUpdate();
  const int index = ComboBox974->currentIndex();
  ProfileFile plugins(PluginsIni());
  plugins.BeginUpdate();
  for (int i = 0; i < 4; ++i) plugins.WriteString(Section(index), kPluginKeys[i], Text(fields[i]));
  plugins.EndUpdate();
  // The drop-down shows the bare name until the list is loaded again with the version.
  ComboBox974->setItemText(index, Edit972->text());
  SetMenuItem(index + 2, Edit972->text());
  ComboBox974->setCurrentIndex(index);
}

void TPluginsPage::ToolbarButton9710Click() { host_.StartPlugin(libraryPath_, "Startplugin"); }

void TPluginsPage::ToolbarButton979Click() { host_.StartPlugin(libraryPath_, "Configureplugin"); }

void TPluginsPage::ToolbarButton9712Click() {
  std::string folder = AppDialogs().PickFolder("Browse for Plugins Directory", PluginsFolder());
  if (folder.empty()) return;
  if (folder.back() != '/') folder += '/';
  options_.Edit976->setText(QString::fromStdString(folder));
  host_.Settings().pluginsFolder = folder;  // written to "plugins.ini" when the dialog hides
}

}  // namespace velk
