#pragma once
// Language files: the [Languages] list in "plugins.ini" and the "*.ldf" files it names, whose
// [Settings] keys hold the interface texts. English is built in as every key's default.
#include <QObject>
#include <QString>
#include <map>
#include <string>
#include <vector>

namespace velk {

class OptionsHost;
class TOptions;

// The file of the current language: "plugins.ini" [Languages] "language" + "current". Empty
// for English (index 0), whose texts are all defaults.
std::string CurrentLanguageFile(const std::string& programFolder);

// Reads key from the language file's [Settings], the English default when missing. A file
// that is not valid UTF-8 is read in the Windows code page (1252), as older files are written.
// The file is read once, when made: asking for every key costs one pass, not one per key.
class LanguageTexts {
public:
  explicit LanguageTexts(const std::string& programFolder);
  QString operator()(const char* key, const char* english) const;

private:
  std::map<std::string, QString> texts_;  // by lower-case key
};

QString Windows1252Text(const std::string& bytes);

// Every key the splash, main window and options dialog translators read, each once, in
// ascending order: what a complete language file defines.
std::vector<std::string> LanguageKeys();

// Relabels the options dialog in the current language, keeping the zoom and Bitmaps entry
// selections that replacing list entries would lose.
void TranslateOptions(TOptions& options, OptionsHost& host);

// The language row of the General page.
class TLanguagesPage : public QObject {
  Q_OBJECT
public:
  TLanguagesPage(TOptions& options, OptionsHost& host);

  // Creation step 5: the added languages after "English", then entry "current".
  void FillLanguageBox();
  void OnLanguageChanged();
  void OnAddLanguageClicked();
  // The main window, then the dialog.
  void ApplyLanguage();

private:
  TOptions& options_;
  OptionsHost& host_;
};

}  // namespace velk
