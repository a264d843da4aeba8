// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowsearchhost.h"

#include "bytetext.h"
#include "desktop.h"
#include "gridcanvas.h"
#include "resultslist.h"
#include "statuspanels.h"
#include "toolpictures.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvel {

void WindowSearchHost::setPanelText(int panel, std::string_view text) {
    c_.stb1->setText(panel, fromBytes(text));
}

void WindowSearchHost::setPanelHint(int panel, std::string_view hint) {
    c_.stb1->setHint(panel, fromBytes(hint));
}

void WindowSearchHost::clearList() {
    c_.lists->clear();
}

void WindowSearchHost::addListLine(std::string line) {
    c_.lists->addLine(line);
}

std::size_t WindowSearchHost::listCount() const {
    return static_cast<std::size_t>(c_.lists->count());
}

void WindowSearchHost::finishList() {
    c_.lists->finishList([this] { yield(); });
}

void WindowSearchHost::setListHint(std::string_view hint) {
    c_.lists->setToolTip(fromBytes(hint));
}

void WindowSearchHost::setPointers(Pointers p) {
    switch (p) {
    case Pointers::Busy:
        c_.peri->setCursor(Qt::WaitCursor);
        c_.lists->setCursor(Qt::WaitCursor);
        break;
    case Pointers::ToolGrid:
        c_.peri->setCursor(toolPointer_);
        c_.lists->setCursor(defaultPointer());
        break;
    case Pointers::Default:
        c_.peri->setCursor(defaultPointer());
        c_.lists->setCursor(defaultPointer());
        break;
    }
}

void WindowSearchHost::beep() {
    desktop_.beep();
}

void WindowSearchHost::yield() {
    if (yieldProbe)
        yieldProbe();
    // One pass of the event loop per line would dominate a long scan; a pass
    // every few milliseconds keeps the window as responsive.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastYieldMs_ < yieldMs_)
        return;
    lastYieldMs_ = now;
    // The lines listed in order so far show with this pass.
    c_.lists->publish();
    QCoreApplication::processEvents();
}

void WindowSearchHost::setPatternLabel(std::string_view text) {
    c_.texta->setText(fromBytes(text));
}

void WindowSearchHost::setTestText(std::string_view text) {
    c_.textb->setText(fromBytes(text));
}

void WindowSearchHost::setHeadTailButtonsEnabled(bool enabled) {
    for (int i = 1; i <= 4; ++i)
        c_.command[i]->setEnabled(enabled);
}

} // namespace korvel
