#include "app/properties_text.h"

#include <cmath>

namespace velk {

QString FormatGrouped(double value, int decimals, const QLocale& locale) {
  const double scale = std::pow(10.0, decimals);
  const double rounded = std::round(std::fabs(value) * scale);  // half away from zero
  const auto whole = static_cast<unsigned long long>(rounded / scale);
  const auto fraction = static_cast<unsigned long long>(rounded - double(whole) * scale);
  QString digits = QString::number(whole);
  QString grouped;
  for (qsizetype i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += locale.groupSeparator();
    grouped += digits[i];
  }
  if (value < 0 && rounded != 0) grouped.prepend(locale.negativeSign());
  if (decimals > 0)
    grouped += locale.decimalPoint() + QString::number(fraction).rightJustified(decimals, '0');
  return grouped;
}

QString FileSizeText(int64_t size, const QLocale& locale) {
  // Each rule overwrites the one before, as the panel always did.
  QString text;
  if (size <= 1023) text = QString::number(size) + "B";
  if (size >= 1024) text = FormatGrouped(double(size) / 1024, 2, locale) + " KB";
  if (size > 10240) text = FormatGrouped(double(size) / 1024, 1, locale) + " KB";
  if (size > 102400) text = FormatGrouped(double(size) / 1024, 0, locale) + " KB";
  if (size > 1048576) text = FormatGrouped(double(size) / 1048576, 2, locale) + " MB";
  if (size < 0) text = "0";
  return text;
}

QString DateTimeText(const QDateTime& time, const QLocale& locale) {
  QString text = locale.toString(time.date(), QLocale::ShortFormat);
  if (time.time() != QTime(0, 0)) {
    // The long time without the time zone, as the desktop shows times of files.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1String(" t")).remove(QLatin1Char('t'));
    text += " " + locale.toString(time.time(), format.trimmed());
  }
  return text;
}

}  // namespace velk
