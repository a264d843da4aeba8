#pragma once

class QWidget;

namespace korvel {

class Desktop;
class GridDocument;

// File > Export and File > Print...: the document's puzzle for other
// crossword programs or on paper. Neither changes the document.
class ExportCommands {
public:
    ExportCommands(Desktop& desktop, const GridDocument& document, QWidget* parent)
        : desktop_(desktop), doc_(document), parent_(parent) {}

    // Asks for a file and a format and writes the export; a failure is said
    // in a box.
    void exportAs();
    // Prints through the desktop's print dialog.
    void print();

private:
    Desktop& desktop_;
    const GridDocument& doc_;
    QWidget* parent_;
    // The export dialog's filter, kept for the next export.
    int exportFilter_ = 0;
};

} // namespace korvel
