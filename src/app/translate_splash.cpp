#include "app/translate_splash.h"

#include "app/splash_form.h"
#include "options/languages.h"
#include "platform/application.h"

namespace velk {

void TranslateSplash(TSplashForm& splash, const std::string& programFolder) {
  const LanguageTexts text(programFolder);
  splash.titleLabel->setText(text("0", "Velk's JPEG Viewer"));
  splash.loadingLabel->setText(text("23", "Loading Please Wait..."));
  splash.resolutionLabel->setText(text("24", "Best Viewed at 800 x 600 pixels or higher"));
  splash.Version->setText(text("25", "Version 0.91"));
  Application::SetTitle(text("0", "Velk's JPEG Viewer"));
}

}  // namespace velk
