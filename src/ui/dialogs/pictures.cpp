// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

namespace korvel {

namespace {

// A little crossword: letters spell KORVEL across and down, a few black cells.
void drawSampleGrid(QPainter& p, QRect area, int cell) {
    static const char* rows[] = {"KORVEL",
                                 "O\x10"
                                 "A\x10"
                                 "A\x10",
                                 "RAVEN?",
                                 "V\x10"
                                 "E\x10"
                                 "?\x10",
                                 "EDGE\x10?",
                                 "L\x10"
                                 "S\x10"
                                 "??"};
    QFont font(QStringLiteral("Courier New"));
    font.setBold(true);
    font.setPixelSize(cell * 7 / 10);
    p.setFont(font);
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c) {
            const QRect box(area.left() + c * cell, area.top() + r * cell, cell, cell);
            const char ch = rows[r][c];
            if (ch == '\x10') {
                p.fillRect(box, Qt::black);
                continue;
            }
            p.fillRect(box, Qt::white);
            p.setPen(Qt::black);
            p.drawRect(box);
            if (ch != '?')
                p.drawText(box, Qt::AlignCenter, QString(QChar::fromLatin1(ch)));
        }
    }
}

} // namespace

QPixmap splashPicture() {
    QPixmap pixmap(480, 300);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(20, 40, 90));
    sky.setColorAt(1, QColor(90, 130, 200));
    p.fillRect(pixmap.rect(), sky);
    drawSampleGrid(p, QRect(30, 45, 210, 210), 35);

    // The title is made smaller until it fits its box with a margin on both
    // sides, whatever font stands in for the one asked for.
    const QRect titleBox(250, 70, 220, 70);
    const QString titleText = QStringLiteral("KORVEL");
    QFont title(QStringLiteral("MS Serif"));
    title.setBold(true);
    int titleSize = 56;
    title.setPixelSize(titleSize);
    while (titleSize > 12 &&
           QFontMetrics(title).boundingRect(titleText).width() > titleBox.width() - 16) {
        title.setPixelSize(--titleSize);
    }
    p.setFont(title);
    p.setPen(QColor(255, 220, 80));
    p.drawText(titleBox, Qt::AlignCenter, titleText);
    QFont sub(QStringLiteral("MS Sans Serif"));
    sub.setPixelSize(20);
    p.setFont(sub);
    p.setPen(Qt::white);
    p.drawText(QRect(250, 140, 220, 30), Qt::AlignCenter, QStringLiteral("V.8"));
    p.drawText(QRect(250, 190, 220, 60), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("crossword assistant"));
    p.setPen(QPen(QColor(255, 220, 80), 3));
    p.drawRect(pixmap.rect().adjusted(1, 1, -2, -2));
    return pixmap;
}

QPixmap aboutBackground(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    QLinearGradient shade(0, 0, size.width(), size.height());
    shade.setColorAt(0, QColor(230, 236, 250));
    shade.setColorAt(1, QColor(160, 180, 220));
    p.fillRect(pixmap.rect(), shade);
    p.setOpacity(0.25);
    drawSampleGrid(p, QRect(size.width() - 130, size.height() - 130, 120, 120), 20);
    return pixmap;
}

QPixmap aboutButtonPicture() {
    QPixmap pixmap(64, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(20, 40, 90));
    p.setPen(QPen(QColor(255, 220, 80), 2));
    p.drawRoundedRect(QRectF(1, 1, 62, 38), 8, 8);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("OK"));
    return pixmap;
}

} // namespace korvel
