#include "resultslist.h"

#include "bytetext.h"
#include "resultorder.h"

#include <QKeyEvent>

namespace korvel {

namespace {

int compareWith(const QListWidgetItem* item, std::string_view line) {
    return compareListLines(toBytes(item->text()), line);
}

} // namespace

ResultsList::ResultsList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("Lists"));
    setUniformItemSizes(true);
}

void ResultsList::addLine(std::string_view line) {
    const QString text = fromBytes(line);
    // A search adds its lines mostly in order: most of them go at the end.
    const int n = count();
    if (n == 0 || compareWith(item(n - 1), line) <= 0) {
        addItem(text);
        return;
    }
    int lo = 0;
    int hi = n - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (compareWith(item(mid), line) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    insertItem(lo, text);
}

void ResultsList::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit chosenByKey();
}

} // namespace korvel
