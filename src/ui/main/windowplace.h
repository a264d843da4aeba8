// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace korvel {

// The main window's size and place between runs. The window starts
// maximised over the screen, as designed. Once the user un-maximises, moves
// or sizes it, its place is remembered in the program's settings (a moment
// after each change, and at the end) and the next start shows it there,
// as far as the window system allows; a maximised window forgets it, so the
// next start is maximised again. The zoom of the grid is not remembered: a
// new or opened grid always starts at the original size.
class WindowPlace : public QObject {
    Q_OBJECT
public:
    // window outlives this.
    explicit WindowPlace(QWidget& window);
    // Writes a change still waiting.
    ~WindowPlace() override;

    // Shows the window: where it was left, or maximised.
    void showAtStart();
    // Writes the window's place now (the process is about to end).
    void save();

    // The settings key of the remembered geometry (QWidget::saveGeometry).
    static QString settingsKey();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    QTimer pending_;
    bool shown_ = false;
};

} // namespace korvel
