// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "focusreturn.h"

#include <QDialog>

namespace korvel {

// Who made the word data of the default dictionaries (Label4 of the about
// box; packaging/copyright has the licences in full).
inline constexpr const char* WordDataCredits =
    "Word lists: SCOWL (Kevin Atkinson), witalian, hunspell-it, WordNet 3.0 "
    "(Princeton University), GCIDE. Word frequencies: wordfreq by Robyn Speer "
    "(CC BY-SA 4.0), from Google Books Ngrams, the Leeds Internet Corpus, "
    "Wikipedia, ParaCrawl, OpenSubtitles, SUBTLEX (Marc Brysbaert et al.) and "
    "Twitter. Profanity lists: cuss (Titus Wormer, MIT).";

// The about box Form0h: a picture background with the program's name, the
// maker's notice and address, the credits of the word data, and a picture
// button that closes it. Placed 2000 twips from the screen's top-left corner.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

private:
    // Closed, the box gives the focus back to the window behind it.
    FocusReturn focusBack_;
};

} // namespace korvel
