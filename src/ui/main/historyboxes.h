// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "actionshistory.h"
#include "bytetext.h"
#include "desktop.h"

class QWidget;

namespace korvel {

// The boxes an edit of the history may call for, in the order every edit
// handler shows them: the anomaly of a broken record, then the history
// emptied to make room.
inline void showHistoryBoxes(Desktop& desktop, QWidget* parent, bool anomaly, bool cleared) {
    if (anomaly)
        desktop.messageBox(parent, fromBytes(HistoryAnomalyTitle), fromBytes(HistoryAnomalyText),
                           MsgIcon::None, MsgButtons::Ok);
    if (cleared)
        desktop.messageBox(parent, fromBytes(HistoryClearedTitle), fromBytes(HistoryClearedText),
                           MsgIcon::None, MsgButtons::Ok);
}

} // namespace korvel
