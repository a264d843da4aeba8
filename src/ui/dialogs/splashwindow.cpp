// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashwindow.h"

#include "pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace korvel {

SplashWindow::SplashWindow(std::function<void()> handOver, int intervalMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), handOver_(std::move(handOver)) {
    setObjectName(QStringLiteral("Form00"));
    setAttribute(Qt::WA_DeleteOnClose);
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setPixmap(splashPicture());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(image1_);
    adjustSize();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setSingleShot(true);
    timer1_->setInterval(intervalMs);
    connect(timer1_, &QTimer::timeout, this, &SplashWindow::Timer1_Timer);
    timer1_->start();
}

void SplashWindow::Timer1_Timer() {
    if (handOver_)
        handOver_();
    close();
}

} // namespace korvel
