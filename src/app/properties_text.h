#pragma once
// The texts of the main window's properties panel: file sizes and modification times.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>

namespace velk {

// "512B", "1.50 KB", "19.5 KB", "195 KB", "4.77 MB", with the locale's separators. The whole
// 64-bit size is used, so files beyond 2 GB show their real size.
QString FileSizeText(int64_t size, const QLocale& locale);

// A number in a picture format like "###,##0.00": grouped thousands, `decimals` places,
// rounded half away from zero, with the locale's separators.
QString FormatGrouped(double value, int decimals, const QLocale& locale);

// The "c" date-time format: the short date, a blank and the long time; the time is left out
// when it is exactly midnight.
QString DateTimeText(const QDateTime& time, const QLocale& locale);

}  // namespace velk
