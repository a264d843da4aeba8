// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutbox.h"

#include "pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace korvel {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent), focusBack_(parent) {
    setObjectName(QStringLiteral("Form0h"));
    setWindowTitle(QStringLiteral("Copyright"));
    setModal(true);
    setFixedSize(420, 330);

    auto* background = new QLabel(this);
    background->setPixmap(aboutBackground(size()));
    background->setGeometry(rect());

    auto* label1 = new QLabel(QStringLiteral("Program  Korvel V.8"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    QFont big(QStringLiteral("MS Serif"));
    big.setPointSize(16);
    big.setBold(true);
    label1->setFont(big);
    auto* label2 = new QLabel(QStringLiteral("Copyright (C) 2025-2026 the Korvel developers.\n"
                                             "Free to use, copy and change."),
                              this);
    label2->setObjectName(QStringLiteral("Label2"));
    auto* label3 = new QLabel(QStringLiteral("https://korvel.example.org/"), this);
    label3->setObjectName(QStringLiteral("Label3"));
    // The word data of the default sets asks to be credited where the
    // program says who made it.
    auto* label4 = new QLabel(QString::fromUtf8(WordDataCredits), this);
    label4->setObjectName(QStringLiteral("Label4"));
    label4->setWordWrap(true);
    QFont small = label4->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    label4->setFont(small);
    for (QLabel* l : {label1, label2, label3, label4})
        l->setAlignment(Qt::AlignCenter);

    auto* command1 = new QPushButton(this);
    command1->setObjectName(QStringLiteral("Command1"));
    const QPixmap picture = aboutButtonPicture();
    command1->setIcon(picture);
    command1->setIconSize(picture.size());
    command1->setFixedSize(picture.size() + QSize(8, 8));
    command1->setFlat(true);
    connect(command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(label2);
    layout->addWidget(label3);
    layout->addWidget(label4);
    layout->addWidget(command1, 0, Qt::AlignHCenter);

    // 2000 twips from the top-left corner of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const int offset = static_cast<int>(2000 * screen->logicalDotsPerInch() / 1440.0);
        move(screen->geometry().topLeft() + QPoint(offset, offset));
    }
}

} // namespace korvel
