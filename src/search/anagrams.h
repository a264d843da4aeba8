// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dictionarystore.h"
#include "searchhost.h"

#include <string>
#include <string_view>

namespace korvel {

// The TEST word as the anagram search reads it: upper case (the Latin-1
// letters too), without leading and trailing blanks; inner blanks stay.
std::string anagramTestWord(std::string_view textb);

// Lists the words of the base dictionary made of exactly the letters of the
// TEST field's text, a blank in it standing for any one letter. Stems take
// part with each ending of their EndingCode; the TEST word itself is never
// listed. With no result the list holds " " and " no Anagrams ". Reads only
// dictionary 1, enabled or not; leaves the busy counter and the abort request
// alone, so the window stays usable while it runs. Sets the result count.
void findAnagrams(std::string_view textb, const DictionaryStore& store, SearchHost& host,
                  SearchFlags& flags);

} // namespace korvel
