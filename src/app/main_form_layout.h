#pragma once
// Where the main window's controls sit; the default skin is drawn to frame these places.
#include <QRect>

namespace velk::layout {

inline constexpr int kWidth = 770, kHeight = 542;
inline constexpr QRect kTitleBand{0, 0, 770, 18};
inline constexpr QRect kTitle{10, 1, 300, 16};
inline constexpr QRect kMinimizeButton{726, 1, 20, 16};
inline constexpr QRect kCloseButton{747, 1, 20, 16};
inline constexpr QRect kToolbarBand{0, 18, 770, 22};
inline constexpr int kToolbarTop = 19, kToolbarButtonSize = 20, kToolbarLeft = 8;
inline constexpr QRect kZoomBox{668, 19, 94, 20};
inline constexpr QRect kDriveBox{8, 46, 222, 22};
inline constexpr QRect kFolderList{8, 72, 222, 140};
inline constexpr QRect kFileList{8, 216, 222, 158};
inline constexpr QRect kFilterBox{8, 378, 222, 22};
inline constexpr QRect kProperties{8, 406, 222, 116};
inline constexpr QRect kImageArea{239, 41, 529, 487};
inline constexpr QRect kStatusLine{10, 529, 560, 13};
inline constexpr QRect kProgressBar{580, 529, 183, 13};

}  // namespace velk::layout
