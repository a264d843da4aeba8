// SPDX-License-Identifier: GPL-3.0-or-later
#include "statuspanels.h"

#include <QApplication>
#include <QMouseEvent>

namespace korvel {

StatusPanel::StatusPanel(int index, QWidget* parent) : QLabel(parent), index_(index) {
    setObjectName(QStringLiteral("Panel%1").arg(index));
    setTextFormat(Qt::PlainText);
    setBevel(Bevel::Inset);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void StatusPanel::setPanelEnabled(bool enabled) {
    enabled_ = enabled;
    // The colours come from the bar's own palette every time: the panel's
    // palette is the one being changed, and reading it back would carry one
    // state's colour into the other.
    const QPalette base = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    QPalette pal = base;
    if (!enabled) {
        const QColor greyed = base.color(QPalette::Disabled, QPalette::WindowText);
        pal.setColor(QPalette::Active, QPalette::WindowText, greyed);
        pal.setColor(QPalette::Inactive, QPalette::WindowText, greyed);
    }
    setPalette(pal);
    setForegroundRole(QPalette::WindowText);
}

void StatusPanel::setBevel(Bevel bevel) {
    switch (bevel) {
    case Bevel::None:
        setFrameStyle(QFrame::NoFrame);
        break;
    case Bevel::Inset:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Bevel::Raised:
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    }
}

void StatusPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit clicked(index_);
    QLabel::mousePressEvent(event);
}

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("Stb1"));
    setSizeGripEnabled(false);
    for (int i = 1; i <= PanelCount; ++i) {
        auto* p = new StatusPanel(i, this);
        panels_[i] = p;
        // The message panels take the spare width; the others fit their text.
        addWidget(p, i == 1 || i == 2 ? 1 : 0);
        connect(p, &StatusPanel::clicked, this, &StatusPanels::panelClicked);
    }
    for (int i : {5, 6, 9, 10})
        panels_[i]->hide();
    for (int i = 11; i <= 16; ++i)
        panels_[i]->setBevel(StatusPanel::Bevel::Raised);
}

StatusPanel* StatusPanels::panel(int index) const {
    return index >= 1 && index <= PanelCount ? panels_[index] : nullptr;
}

void StatusPanels::setText(int index, const QString& text) {
    if (auto* p = panel(index))
        p->setText(text);
}

QString StatusPanels::text(int index) const {
    const auto* p = panel(index);
    return p ? p->text() : QString();
}

void StatusPanels::setHint(int index, const QString& hint) {
    if (auto* p = panel(index))
        p->setToolTip(hint);
}

QString StatusPanels::hint(int index) const {
    const auto* p = panel(index);
    return p ? p->toolTip() : QString();
}

void StatusPanels::setPanelEnabled(int index, bool enabled) {
    if (auto* p = panel(index))
        p->setPanelEnabled(enabled);
}

bool StatusPanels::isPanelEnabled(int index) const {
    const auto* p = panel(index);
    return p && p->isPanelEnabled();
}

void StatusPanels::setPanelVisible(int index, bool visible) {
    if (auto* p = panel(index))
        p->setVisible(visible);
}

// Asked of the panel itself, not of the screen: a panel counts as shown even
// while the window is not.
bool StatusPanels::isPanelVisible(int index) const {
    const auto* p = panel(index);
    return p && !p->isHidden();
}

} // namespace korvel
