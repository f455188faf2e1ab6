#include "app/zoom.h"

#include <QComboBox>
#include <algorithm>

namespace velk {

QStringList ZoomEntries() {
  return {"500%", "400%", "300%", "200%", "100%", "75%", "50%", "25%", "10%", "To fit", "Stretch"};
}

int SteppedZoom(int index, int step) {
  if (index < 0 || index > kZoom10) index = kZoom100;
  return std::clamp(index + step, int(kZoom500), int(kZoom10));
}

void ChooseZoomEntry(QComboBox& box, int index) {
  box.setCurrentIndex(index);
  emit box.activated(index);
}

QSize ZoomedSize(int index, int w, int h) {
  switch (index) {
    case 0: return {w * 5, h * 5};
    case 1: return {w * 4, h * 4};
    case 2: return {w * 3, h * 3};
    case 3: return {w * 2, h * 2};
    case 5: return {(w / 4) * 3, (h / 4) * 3};
    case 6: return {w / 2, h / 2};
    case 7: return {w / 4, h / 4};
    case 8: return {w / 10, h / 10};
    default: return {w, h};
  }
}

}  // namespace velk
