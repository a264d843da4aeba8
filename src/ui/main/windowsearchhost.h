// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "searchhost.h"

#include <QCursor>
#include <QtGlobal>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvel {

class Desktop;
class GridCanvas;
class ResultsList;
class StatusPanels;

// The widgets a search writes to. The grid is drawn from the editor state,
// which the searches change; they never draw.
struct SearchHostControls {
    StatusPanels* stb1 = nullptr;
    ResultsList* lists = nullptr;
    GridCanvas* peri = nullptr; // its pointer
    QLabel* texta = nullptr;
    QLineEdit* textb = nullptr;            // the TEST field; see setTestField
    QPushButton* const* command = nullptr; // Free HEAD .. Free CUE at 1 to 4
};

// What the searches, the refinements and the word tools do to the window,
// carried out on its widgets. The window owns one and hands it to the core.
class WindowSearchHost : public SearchHost {
public:
    WindowSearchHost(Desktop& desktop, SearchHostControls controls, int yieldMs)
        : desktop_(desktop), c_(std::move(controls)), yieldMs_(yieldMs) {}

    // The pointer the grid shows for the current tool.
    void setToolPointer(const QCursor& pointer) { toolPointer_ = pointer; }
    // The TEST field comes with the toolbar, which is made after the host.
    void setTestField(QLineEdit* textb) { c_.textb = textb; }
    // Called on every yield, throttled or not: the tests count the calls
    // and the benchmarks time the stretches between them.
    std::function<void()> yieldProbe;

    void setPanelText(int panel, std::string_view text) override;
    void setPanelHint(int panel, std::string_view hint) override;
    void clearList() override;
    void addListLine(std::string line) override;
    std::size_t listCount() const override;
    void setListHint(std::string_view hint) override;
    void finishList() override;
    void setPointers(Pointers p) override;
    void beep() override;
    void yield() override;
    void setPatternLabel(std::string_view text) override;
    void setTestText(std::string_view text) override;
    void setHeadTailButtonsEnabled(bool enabled) override;

private:
    Desktop& desktop_;
    SearchHostControls c_;
    int yieldMs_;
    qint64 lastYieldMs_ = 0;
    QCursor toolPointer_;
};

} // namespace korvel
