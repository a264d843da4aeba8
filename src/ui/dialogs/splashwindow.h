// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace korvel {

// The splash window Form00: a borderless picture, centred on the screen.
// Timer1 fires once after the interval, runs the hand-over (which shows the
// main window) and then closes and deletes the splash.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow(std::function<void()> handOver, int intervalMs = 4000, QWidget* parent = nullptr);

    QTimer* timer1() const { return timer1_; }

private:
    void Timer1_Timer();

    std::function<void()> handOver_;
    QLabel* image1_;
    QTimer* timer1_;
};

} // namespace korvel
