#pragma once

#include <QListWidget>

#include <string_view>

namespace korvel {

// The results list Lists: a list box that keeps its lines in the display
// order of the results (compareListLines), whatever order they are added in,
// and that reports a line chosen from the keyboard as a click, as a list box
// does when its selection moves.
class ResultsList : public QListWidget {
    Q_OBJECT
public:
    explicit ResultsList(QWidget* parent = nullptr);

    // Inserts the line after every line that does not sort after it, so
    // equal lines keep the order in which they came. The text is converted
    // from the local 8-bit encoding.
    void addLine(std::string_view line);

signals:
    // The current line changed through a key.
    void chosenByKey();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace korvel
