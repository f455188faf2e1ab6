#pragma once
// TLoupeform: the loupe window. An always-on-top tool window holding one Tloupe that fills its
// client area, with a menu for the refresh speed (or a freeze) and the zoom factor.
#include <QString>
#include <QWidget>

class QAction;
class QMenu;
class QMenuBar;

namespace velk {

class Tloupe;

// The interval of speed item 1 to 5 ("&Fastest" 100 ms to "S&lowest" 1000 ms); 0 for others.
int LoupeSpeedInterval(int item);
// The name of the zoom item for a zoom factor: "N", the factor in its shortest decimal form,
// "001" (1 gives "N1001", 10 gives "N10001"; 1.5 names no item).
QString LoupeZoomItemName(double zoom);

class TLoupeform : public QWidget {
  Q_OBJECT
public:
  explicit TLoupeform(QWidget* parent = nullptr);

  Tloupe* loupe() const { return loupe_; }

  // A menu item by its name ("S1".."S6", "N1001".."N10001", "Interval1", "Zoom", ...),
  // compared without regard to case; null when there is none.
  QAction* FindItem(const QString& name) const;
  // The integer tag of a menu item (0 when it has none).
  static int Tag(const QAction* item);

  // Click of a speed item: unchecks all six, then sets the interval or freezes by its tag.
  void Interval(QAction* sender);
  // Click of a zoom item: unchecks all ten, checks it, sets the zoom to its tag plus 1.
  void OnZoomChosen(QAction* sender);

  // Sets every caption of the window and its menu; the language files replace these later.
  void AssignCaptions();

private:
  QAction* AddItem(QMenu* menu, const char* name, int tag);

  Tloupe* loupe_;
  QMenuBar* menuBar_;
  QMenu* options_;
  QMenu* speed_;
  QMenu* zoom_;
};

}  // namespace velk
