// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QStatusBar>

#include <array>

namespace korvel {

// One numbered panel of the status bar. Its enabled state is a flag of its
// own, shown greyed: a disabled panel still reports clicks, so that a
// switched-off dictionary can be switched on again from the bar.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    enum class Bevel { None, Inset, Raised };

    StatusPanel(int index, QWidget* parent);
    int index() const { return index_; }
    bool isPanelEnabled() const { return enabled_; }
    void setPanelEnabled(bool enabled);
    void setBevel(Bevel bevel);

signals:
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int index_;
    bool enabled_ = true;
};

// The status bar Stb1: panels 1 to 16, addressed by number. Panels without a
// role (5, 6, 9, 10) exist but stay hidden.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int PanelCount = 16;

    explicit StatusPanels(QWidget* parent = nullptr);
    StatusPanel* panel(int index) const;

    void setText(int index, const QString& text);
    QString text(int index) const;
    void setHint(int index, const QString& hint);
    QString hint(int index) const;
    void setPanelEnabled(int index, bool enabled);
    bool isPanelEnabled(int index) const;
    void setPanelVisible(int index, bool visible);
    bool isPanelVisible(int index) const;

signals:
    void panelClicked(int index);

private:
    std::array<StatusPanel*, PanelCount + 1> panels_{};
};

} // namespace korvel
