#pragma once
// Names for screen readers where a control has neither a label made its buddy nor a name of
// its own: its short hint says what it is for.
class QWidget;

namespace velk {

// Gives every control under root that a user can work, and that has no name or label, its
// short hint as its name. Run again after the hints change (a language): names it gave follow.
void NameControlsByHints(QWidget* root);

}  // namespace velk
