// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace korvel {

class Desktop;
class GridDocument;
class StatusPanels;

// File > Export and File > Print...: the document's puzzle for other
// crossword programs or on paper. Neither changes the document.
class ExportCommands {
public:
    ExportCommands(Desktop& desktop, const GridDocument& document, QWidget* parent,
                   StatusPanels& panels)
        : desktop_(desktop), doc_(document), parent_(parent), panels_(panels) {}

    // Asks for a file and a format and writes the export; a failure is said
    // in a box, a success in panel 2 (where the file went).
    void exportAs();
    // Prints through the desktop's print dialog; a print to a file proposes
    // the grid's name in the folder an export would start in. Panel 2 says
    // where the print went.
    void print();

private:
    // Panel 2's text (framed by blanks, as the other commands' are) and hint.
    void report(const QString& text, const QString& hint);

    Desktop& desktop_;
    const GridDocument& doc_;
    QWidget* parent_;
    StatusPanels& panels_;
    // The export dialog's filter, kept for the next export.
    int exportFilter_ = 0;
};

} // namespace korvel
