// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-mkscores: builds the word data of a default set beside its
// dictionaries: the scores (base.scores), the kinds of entries solvers know
// only as names or abbreviations (base.kinds), the shipped ban list
// (base.bans) and, for English, the list of phrases (phrases.dic).
//
//   korvel-mkscores --english OUTDIR --scowl DIR --wordfreq EN.msgpack.gz
//       [--wordnet DIR] [--gcide-index FILE --gcide-dict FILE.dz]
//       --profanity index.js --decisions FILE
//   korvel-mkscores --italian OUTDIR --words LIST --hunspell FILE.dic
//       --english-words LIST --scowl DIR --wordfreq IT.msgpack.gz
//       --english-wordfreq EN.msgpack.gz --profanity it.js --decisions FILE
//       --english-profanity index.js --english-decisions FILE
//
// The rule is src/wordsources/wordrating.h; README.md documents it.

#include "gcide.h"
#include "gunzip.h"
#include "phrases.h"
#include "printable.h"
#include "profanity.h"
#include "regularfile.h"
#include "replacefile.h"
#include "wordfold.h"
#include "wordfreq.h"
#include "wordnet.h"
#include "wordrating.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

using namespace korvel;

namespace {

constexpr std::string_view Usage =
    "usage: korvel-mkscores --english OUTDIR --scowl DIR --wordfreq EN.msgpack.gz\n"
    "           [--wordnet DIR] [--gcide-index FILE --gcide-dict FILE.dz]\n"
    "           --profanity index.js --decisions FILE\n"
    "       korvel-mkscores --italian OUTDIR --words LIST --hunspell FILE.dic\n"
    "           --english-words LIST --scowl DIR --wordfreq IT.msgpack.gz\n"
    "           --english-wordfreq EN.msgpack.gz --profanity it.js --decisions FILE\n"
    "           --english-profanity index.js --english-decisions FILE\n";

// Inputs are read whole; the largest (GCIDE's text) is about 40 MB.
constexpr uint64_t MaxInputBytes = 512ull << 20;

// Phrases scoring under this stay out of phrases.dic: the searches would
// offer them, and the fill should avoid them anyway.
constexpr int MinPhraseRating = 30;

struct Failure {
    std::string message;
};

std::string readInput(const std::string& path) {
    std::string bytes;
    const FileReadResult r = readRegularFile(AT_FDCWD, path, MaxInputBytes, bytes);
    if (!r.ok()) {
        throw Failure{"cannot read " + printable(path) + ": " + printable(r.cause)};
    }
    return bytes;
}

std::string readGzip(const std::string& path) {
    std::string out;
    std::string error;
    if (!gunzip(readInput(path), out, error)) {
        throw Failure{printable(path) + ": " + error};
    }
    return out;
}

ZipfTable readFrequencies(const std::string& path) {
    ZipfTable table;
    std::string error;
    if (!readWordfreq(readGzip(path), table, error)) {
        throw Failure{printable(path) + ": " + error};
    }
    return table;
}

template <typename F> void forEachLine(std::string_view text, F f) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        f(line);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

void writeOutput(const std::string& path, const std::string& bytes) {
    std::string error;
    if (!replaceFile(path, bytes, error)) {
        throw Failure{"cannot write " + printable(path) + ": " + printable(error)};
    }
}

// ---------------------------------------------------------------- SCOWL

// The lists the English base.diz is made of (dictionaries/CMakeLists.txt).
constexpr std::array<int, 9> ScowlSizes = {10, 20, 35, 40, 50, 55, 60, 70, 80};
constexpr std::array<std::string_view, 3> ScowlSpellings = {"english", "american", "british"};

struct ScowlEntry {
    int words = 0;
    int names = 0;
    int abbreviations = 0;
};

void keepSmallest(int& size, int s) {
    if (size == 0 || s < size) {
        size = s;
    }
}

std::map<std::string, ScowlEntry> readScowl(const std::string& dir) {
    std::map<std::string, ScowlEntry> entries;
    const std::array<std::pair<std::string_view, int ScowlEntry::*>, 4> kinds = {{
        {"words", &ScowlEntry::words},
        {"upper", &ScowlEntry::names},
        {"proper-names", &ScowlEntry::names},
        {"abbreviations", &ScowlEntry::abbreviations},
    }};
    int files = 0;
    for (int size : ScowlSizes) {
        for (const auto& [kind, member] : kinds) {
            for (std::string_view spelling : ScowlSpellings) {
                const std::string path = dir + "/" + std::string(spelling) + "-" +
                                         std::string(kind) + "." + std::to_string(size);
                std::string bytes;
                const FileReadResult r = readRegularFile(AT_FDCWD, path, MaxInputBytes, bytes);
                if (r.status == FileReadStatus::Missing) {
                    continue;
                }
                if (!r.ok()) {
                    throw Failure{"cannot read " + printable(path) + ": " + printable(r.cause)};
                }
                ++files;
                forEachLine(bytes, [&, m = member](std::string_view line) {
                    if (auto w = foldWord(line)) {
                        keepSmallest(entries[*w].*m, size);
                    }
                });
            }
        }
    }
    if (files == 0) {
        throw Failure{"no SCOWL lists in " + printable(dir)};
    }
    return entries;
}

// Words (runs of letters) in text, as countPhrases reads it.
std::size_t wordCount(std::string_view text) {
    std::size_t n = 0;
    bool inWord = false;
    for (char c : text) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        n += letter && !inWord ? 1 : 0;
        inWord = letter;
    }
    return n;
}

// ---------------------------------------------------------------- bans

// The shipped ban list of one language: the cuss list's words of sureness 1
// and 2 less those the decisions keep (or only score low), the words the
// decisions ban, and the plural (+S, +ES) of each banned word of three letters
// or more that the set can place.
std::set<std::string> banList(const std::vector<ProfaneWord>& cuss, const BanDecisions& decisions,
                              const std::function<bool(const std::string&)>& placeable) {
    std::set<std::string> banned;
    for (const ProfaneWord& p : cuss) {
        const auto d = decisions.words.find(p.word);
        if (p.sureness >= 1 && d == decisions.words.end()) {
            banned.insert(p.word);
        }
    }
    for (const auto& [word, d] : decisions.words) {
        if (d == BanDecision::Ban) {
            banned.insert(word);
        }
    }
    std::vector<std::string> plurals;
    for (const std::string& w : banned) {
        if (w.size() < 3) {
            continue;
        }
        for (const char* ending : {"S", "ES"}) {
            const std::string plural = w + ending;
            const auto d = decisions.words.find(plural);
            if (placeable(plural) &&
                (d == decisions.words.end() || d->second == BanDecision::Ban)) {
                plurals.push_back(plural);
            }
        }
    }
    banned.insert(plurals.begin(), plurals.end());
    return banned;
}

BanDecisions readDecisions(const std::string& path) {
    BanDecisions d = readBanDecisions(readInput(path));
    if (!d.errors.empty()) {
        throw Failure{printable(path) + ": " + d.errors.front()};
    }
    return d;
}

// ---------------------------------------------------------------- output

struct Rated {
    int score = 0;
    WordKind kind = WordKind::Word;
};

void writeSet(const std::string& outDir, std::map<std::string, Rated>& rated,
              const BanDecisions& decisions, const std::set<std::string>& banned,
              std::string_view banHeader) {
    for (const auto& [word, d] : decisions.words) {
        if (d == BanDecision::Low) {
            if (const auto it = rated.find(word); it != rated.end()) {
                it->second.score = std::min(it->second.score, AvoidRating);
            }
        }
    }
    std::string scores;
    std::string kinds;
    std::array<std::size_t, 3> bands{};
    for (const auto& [word, r] : rated) {
        scores += word + ";" + std::to_string(r.score) + "\n";
        if (r.kind != WordKind::Word) {
            kinds += word + ";" + std::string(kindName(r.kind)) + "\n";
        }
        ++bands[r.score >= 50 ? 0 : r.score >= 30 ? 1 : 2];
    }
    std::string bans(banHeader);
    for (const std::string& w : banned) {
        bans += w + "\n";
    }
    writeOutput(outDir + "/base.scores", scores);
    writeOutput(outDir + "/base.kinds", kinds);
    writeOutput(outDir + "/base.bans", bans);
    std::cerr << "korvel-mkscores: " << printable(outDir) << ": " << rated.size()
              << " entries scored (50 and above " << bands[0] << ", 30 to 49 " << bands[1]
              << ", below 30 " << bands[2] << "), " << banned.size() << " banned\n";
}

// ---------------------------------------------------------------- English

struct Options {
    std::map<std::string, std::string> values;
    const std::string& need(const std::string& name) const {
        const auto it = values.find(name);
        if (it == values.end()) {
            throw Failure{"missing --" + name};
        }
        return it->second;
    }
    std::optional<std::string> maybe(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

void buildEnglish(const Options& o) {
    const std::string outDir = o.need("english");
    const std::map<std::string, ScowlEntry> scowl = readScowl(o.need("scowl"));
    const ZipfTable zipf = readFrequencies(o.need("wordfreq"));

    std::map<std::string, Rated> rated;
    for (const auto& [word, s] : scowl) {
        const EnglishEvidence e{zipf.zipf(word), s.words, s.names, s.abbreviations};
        rated[word] = Rated{englishRating(e), englishKind(e)};
    }

    std::string phraseList;
    std::size_t phrases = 0;
    const std::optional<std::string> wordnetDir = o.maybe("wordnet");
    const std::optional<std::string> gcideIndex = o.maybe("gcide-index");
    if (wordnetDir || gcideIndex) {
        WordNet wordnet;
        if (wordnetDir) {
            for (const char* pos : {"noun", "verb", "adj", "adv"}) {
                readWordNetIndex(readInput(*wordnetDir + "/index." + pos), wordnet);
                readWordNetData(readInput(*wordnetDir + "/data." + pos), wordnet);
            }
        }
        std::vector<std::string> heads;
        std::string gcideText;
        if (gcideIndex) {
            heads = gcideHeadwords(readInput(*gcideIndex));
            gcideText = readGzip(o.need("gcide-dict"));
        }
        // A word of a phrase is a word of SCOWL's word lists, or one no
        // SCOWL list holds that is written often (a loanword such as "situ"
        // or "hoc"); a name or a Latin taxon word is neither.
        const auto isEnglishWord = [&](std::string_view lower) {
            std::string upper(lower);
            for (char& c : upper) {
                c = static_cast<char>(c - 'a' + 'A');
            }
            const auto it = scowl.find(upper);
            if (it != scowl.end()) {
                return it->second.words != 0;
            }
            return zipf.zipf(upper).value_or(0.0) >= 3.0;
        };
        std::vector<PhraseCandidate> candidates = phraseCandidates(wordnet, heads, isEnglishWord);
        countPhrases(candidates, gcideText);
        countPhrases(candidates, wordnet.glosses);
        const double countedWords =
            static_cast<double>(wordCount(gcideText) + wordCount(wordnet.glosses));
        for (const PhraseCandidate& c : candidates) {
            double least = 99;
            // Chance of the words in a row at one place of the text.
            double chance = 1;
            for (const std::string& w : c.words) {
                std::string upper = w;
                for (char& ch : upper) {
                    ch = static_cast<char>(ch - 'a' + 'A');
                }
                const double z = zipf.zipf(upper).value_or(0.0);
                least = std::min(least, z);
                chance *= std::pow(10.0, z - 9.0);
            }
            PhraseEvidence e;
            e.wordZipf = least;
            e.words = static_cast<int>(c.words.size());
            e.wordnet = c.wordnet;
            e.gcide = c.gcide;
            e.tagged = c.tagged;
            // GCIDE's own entry writes the headword once.
            e.corpusCount = std::max(0, c.corpusCount - (c.gcide ? 1 : 0));
            e.expectedCount = chance * countedWords;
            e.partial = isPartialPhrase(c.words);
            const int score = phraseRating(e);
            if (const auto it = rated.find(c.entry); it != rated.end()) {
                // Already a word of the lists (HEATWAVE): the better reading counts.
                it->second.score = std::max(it->second.score, score);
                continue;
            }
            if (score < MinPhraseRating) {
                continue;
            }
            rated[c.entry] = Rated{score, WordKind::Word};
            phraseList += c.entry + "\r\n";
            ++phrases;
        }
        writeOutput(outDir + "/phrases.dic", phraseList);
        std::cerr << "korvel-mkscores: " << phrases << " phrases of " << candidates.size()
                  << " candidates in phrases.dic\n";
    }

    const BanDecisions decisions = readDecisions(o.need("decisions"));
    const std::set<std::string> banned =
        banList(readCussList(readInput(o.need("profanity"))), decisions,
                [&](const std::string& w) { return rated.count(w) != 0; });
    writeSet(outDir, rated, decisions, banned,
             "# Words the fill never places unless the shipped ban list is switched off:\n"
             "# the cuss list's profane words less the ordinary words and crossword\n"
             "# staples kept (data/profanity/decisions-en.txt), built by korvel-mkscores.\n");
}

// ---------------------------------------------------------------- Italian

struct ItalianEntry {
    bool inWords = false;
    bool inLemmas = false;
    bool affixes = false;
    bool lower = false;
    bool title = false;
    bool upper = false;
    bool english = false;

    void noteCase(std::string_view written) {
        switch (letterCase(written)) {
        case LetterCase::Lower:
            lower = true;
            break;
        case LetterCase::Title:
            title = true;
            break;
        case LetterCase::Upper:
            upper = true;
            break;
        case LetterCase::None:
            break;
        }
    }
};

void buildItalian(const Options& o) {
    const std::string outDir = o.need("italian");
    std::unordered_map<std::string, ItalianEntry> entries;
    forEachLine(readInput(o.need("words")), [&](std::string_view line) {
        if (auto w = foldWord(line)) {
            ItalianEntry& e = entries[*w];
            e.inWords = true;
            e.noteCase(line);
        }
    });
    // Hunspell: "lemma/FLAGS"; the count on the first line and the "/ ..."
    // remark lines fold to nothing.
    forEachLine(readInput(o.need("hunspell")), [&](std::string_view line) {
        const std::size_t slash = line.find('/');
        const std::string_view lemma = line.substr(0, slash);
        if (auto w = foldWord(lemma)) {
            ItalianEntry& e = entries[*w];
            e.inLemmas = true;
            e.affixes |= slash != std::string_view::npos && slash + 1 < line.size();
            e.noteCase(lemma);
        }
    });
    std::unordered_set<std::string> italianWords;
    for (const auto& [w, e] : entries) {
        italianWords.insert(w);
    }
    forEachLine(readInput(o.need("english-words")), [&](std::string_view line) {
        if (auto w = foldWord(line)) {
            entries[*w].english = true;
        }
    });
    for (const auto& [word, s] : readScowl(o.need("scowl"))) {
        if (s.words != 0) {
            if (const auto it = entries.find(word); it != entries.end()) {
                it->second.english = true;
            }
        }
    }
    const ZipfTable zipf = readFrequencies(o.need("wordfreq"));
    const ZipfTable english = readFrequencies(o.need("english-wordfreq"));

    std::map<std::string, Rated> rated;
    for (const auto& [word, e] : entries) {
        ItalianEvidence ev;
        ev.zipf = zipf.zipf(word);
        ev.englishZipf = english.zipf(word);
        ev.inWords = e.inWords;
        ev.inLemmas = e.inLemmas;
        ev.lemmaHasAffixes = e.affixes;
        ev.english = e.english;
        ev.kind = e.lower   ? WordKind::Word
                  : e.title ? WordKind::Name
                  : e.upper ? WordKind::Abbreviation
                            : WordKind::Word;
        const bool italian = e.inWords || e.inLemmas;
        rated[word] = Rated{italianRating(ev), italian ? ev.kind : WordKind::Word};
    }

    const BanDecisions decisions = readDecisions(o.need("decisions"));
    const auto placeable = [&](const std::string& w) { return rated.count(w) != 0; };
    std::set<std::string> banned =
        banList(readCussList(readInput(o.need("profanity"))), decisions, placeable);
    // The English list of the set brings English profanity with it; an
    // English profane word that is also an Italian word (HO, DIO) stays.
    const BanDecisions englishDecisions = readDecisions(o.need("english-decisions"));
    for (const std::string& w : banList(readCussList(readInput(o.need("english-profanity"))),
                                        englishDecisions, placeable)) {
        if (italianWords.count(w) == 0) {
            banned.insert(w);
        }
    }
    writeSet(outDir, rated, decisions, banned,
             "# Words the fill never places unless the shipped ban list is switched off:\n"
             "# the Italian and English cuss lists' profane words less the ordinary words\n"
             "# and crossword staples kept (data/profanity/decisions-it.txt and\n"
             "# decisions-en.txt; English ones only where they are no Italian word),\n"
             "# built by korvel-mkscores.\n");
}

} // namespace

int main(int argc, char** argv) {
    removeScratchFilesOnSignals();
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help") {
            std::cout << Usage;
            return 0;
        }
        if (a == "--version") {
            std::cout << "korvel-mkscores " KORVEL_VERSION "\n";
            return 0;
        }
        if (!a.starts_with("--") || i + 1 >= argc) {
            std::cerr << "korvel-mkscores: unknown argument " << printable(a) << "\n" << Usage;
            return 2;
        }
        o.values[a.substr(2)] = argv[++i];
    }
    const bool english = o.values.count("english") != 0;
    const bool italian = o.values.count("italian") != 0;
    if (english == italian) {
        std::cerr << Usage;
        return 2;
    }
    try {
        if (english) {
            buildEnglish(o);
        } else {
            buildItalian(o);
        }
    } catch (const Failure& f) {
        std::cerr << "korvel-mkscores: " << f.message << "\n";
        return 1;
    }
    return 0;
}
