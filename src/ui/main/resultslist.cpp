#include "resultslist.h"

#include "resultorder.h"

#include <QKeyEvent>

namespace korvel {

ResultsList::ResultsList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("Lists"));
}

void ResultsList::addLine(std::string_view line) {
    int lo = 0;
    int hi = count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const QByteArray there = item(mid)->text().toLocal8Bit();
        if (compareListLines(
                std::string_view(there.constData(), static_cast<std::size_t>(there.size())),
                line) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    insertItem(lo, QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size())));
}

void ResultsList::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit chosenByKey();
}

} // namespace korvel
