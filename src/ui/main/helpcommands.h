#pragma once

#include <QString>

class QWidget;

namespace korvel {

class Desktop;

// Help > Quick Instructions: the shortcut list in a box.
void showShortcuts(Desktop& desktop, QWidget* parent);

// The help page F1 opens: beside the programs' folder in a build tree, in the
// data folder once installed.
QString defaultHelpPage();

} // namespace korvel
