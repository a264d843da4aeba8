// SPDX-License-Identifier: GPL-3.0-or-later
// Definitions: the keys of headwords, the forms an entry may be of, GCIDE's
// articles read as the dictd package has them, and lookups in files made
// from small sources written here in the sources' own formats (WordNet's
// data and index lines, dictd articles, Open Multilingual Wordnet tabs);
// then, when the build made them, lookups in the shipped files.
#include "definitions.h"
#include "definitionsbuild.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace korvel;

namespace {

// --- small sources in the formats of the real ones

const char* const NounData =
    "  1 This software and database is being provided to you, the LICENSEE\n"
    "02958343 06 n 01 car 0 000 | a motor vehicle with four wheels; \"he needs a car\"\n"
    "07614500 13 n 02 ice_cream 0 icecream 0 000 | frozen dessert made of cream\n"
    "02930645 06 n 01 case 0 000 | a portable container for carrying several objects\n"
    "07283608 11 n 01 case 0 000 | an occurrence of something; \"it was a case of bad luck\"\n"
    "00099999 04 n 01 run 0 000 | a score in baseball made by a runner\n"
    "00088888 04 n 01 Hot_Springs 0 000 | a city in Arkansas\n";
const char* const NounIndex =
    "  1 This software and database is being provided to you, the LICENSEE\n"
    "car n 1 0 1 0 02958343  \n"
    "case n 2 1 @ 2 0 07283608 02930645  \n"
    "hot_springs n 1 0 1 0 00088888  \n"
    "ice_cream n 1 0 1 0 07614500  \n"
    "icecream n 1 0 1 0 07614500  \n"
    "run n 1 0 1 0 00099999  \n";
const char* const VerbData = "01926311 38 v 01 run 0 000 | move fast by using one's feet\n"
                             "00000001 41 v 01 try 0 000 | make an effort or attempt\n"
                             "00000002 41 v 01 stop 0 000 | come to a halt\n";
const char* const VerbIndex = "run v 1 0 1 0 01926311  \n"
                              "stop v 1 0 1 0 00000002  \n"
                              "try v 1 0 1 0 00000001  \n";
const char* const AdjData = "01382086 00 a 01 big(a) 0 000 | above average in size\n"
                            "01382087 00 s 01 happy 0 000 | enjoying well-being\n";
const char* const AdjIndex = "big a 1 0 1 0 01382086  \n"
                             "happy a 1 0 1 0 01382087  \n";
const char* const VerbExceptions = "ran run\n";

// dictd articles as dict-gcide formats them (words of our own).
const std::vector<std::pair<std::string, std::string>> Articles = {
    {"Gizmo", "Gizmo \\Giz\"mo\\, n. [Origin uncertain; perh. from a\n"
              "   slang word.]\n"
              "   A small mechanical device whose name is forgotten.\n"
              "   [1913 Webster]\n"
              "\n"
              "         He fetched the gizmo from the shelf.     --Anon.\n"
              "   [1913 Webster]\n"},
    {"Widget", "Widget \\Wid\"get\\ (w[i^]j\"[e^]t), n.; pl. {Widgets}.\n"
               "   [Cf. {Gadget}.]\n"
               "   1. A small gadget or device; as, a widget for the door.\n"
               "      [1913 Webster]\n"
               "\n"
               "            Bring me the widget, said he.         --Somebody.\n"
               "      [1913 Webster]\n"
               "\n"
               "   2. (Econ.) A unit of output of an imagined factory. [Colloq.]\n"
               "      \"The widget is a handy fiction.\" --Econ. Text.\n"
               "      [PJC]\n"
               "\n"
               "   3. (Arch.)\n"
               "      (a) A bracket under a beam.\n"
               "      (b) A peg in [oe]uvre work.\n"
               "          [1913 Webster]\n"
               "\n"
               "   Note: Widgets are often cited in [ae]conomics.\n"
               "         [1913 Webster]\n"
               "\n"
               "   {Widget box}, a box for holding widgets.\n"
               "\n"
               "   {Widget maker} or {Widget smith} (Mech.), one who makes\n"
               "      widgets.\n"
               "\n"
               "   Syn: Gadget; device.\n"
               "        [1913 Webster]\n"},
    {"Thingamajig", "Thingamajig \\Thingamajig\\ n.\n"
                    "   something whose name is forgotten.\n"
                    "\n"
                    "   Syn: doodad.\n"
                    "        [WordNet 1.5]\n"},
    {"Ran", "Ran \\Ran\\ (r[a^]n),\n"
            "   imp. of {Run}.\n"
            "   [1913 Webster]\n"},
};

// Italian: ItalWordNet's and MultiWordNet's tab files.
const char* const ItalWordNetTab = "# ItalWordnet\tita\thttp://example.org/\tODC-BY 1.0\n"
                                   "07614500-n\tita:lemma\tgelato\n"
                                   "07614500-n\tita:def\t0\tdolce freddo a base di latte\n"
                                   "00000003-v\tita:lemma\tandare\n"
                                   "00000003-v\tita:def\t0\tmuoversi da un luogo a un altro\n"
                                   "00000004-n\tita:lemma\tamica\n"
                                   "00000004-n\tita:def\t0\tdonna legata da amicizia\n";
const char* const MultiWordNetTab = "# MultiWordNet\tita\thttp://example.org/\tCC BY 3.0\n"
                                    "02958343-n\tita:lemma\tauto\n"
                                    "02958343-n\tita:lemma\tmacchina\n"
                                    "00000009-n\tita:lemma\tcasa\n"
                                    "00000009-n\tita:def\t0\tedificio per abitarvi\n"
                                    "07283608-n\tita:lemma\tcaso\n"
                                    "01926311-v\tita:lemma\tcorrere\n"
                                    "01926311-v\tita:def\t0\tit.wikipedia.org/wiki/Correre\n"
                                    "07614500-n\tita:exe\t0\tun gelato alla fragola\n";

std::string dictdNumber(std::size_t n) {
    static const std::string Digits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    do {
        out.insert(out.begin(), Digits[n % 64]);
        n /= 64;
    } while (n > 0);
    return out;
}

WordNet smallWordNet() {
    WordNet wn;
    readWordNetData(NounData, 'n', wn);
    readWordNetData(VerbData, 'v', wn);
    readWordNetData(AdjData, 'a', wn);
    readWordNetIndex(NounIndex, 'n', wn);
    readWordNetIndex(VerbIndex, 'v', wn);
    readWordNetIndex(AdjIndex, 'a', wn);
    readWordNetExceptions(VerbExceptions, wn);
    return wn;
}

class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/korvel-definitions-XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    ~Scratch() { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

std::string englishBook(const Scratch& s) {
    const WordNet wn = smallWordNet();
    DefinitionsWriter w("en");
    addWordNet(w, wn);
    std::string text;
    std::string index;
    for (const auto& [head, article] : Articles) {
        index += head + "\t" + dictdNumber(text.size()) + "\t" + dictdNumber(article.size()) + "\n";
        text += article;
    }
    // The index names every headword of an article, and some twice.
    index += "Widgets\t" + dictdNumber(Articles[0].second.size()) + "\t" +
             dictdNumber(Articles[1].second.size()) + "\n";
    addGcide(w, readGcide(index, text), 8);
    std::string error;
    const std::string path = s.path("en.db");
    EXPECT_TRUE(w.write(path, "test sources", error)) << error;
    return path;
}

std::string italianBook(const Scratch& s) {
    const WordNet wn = smallWordNet();
    DefinitionsWriter w("it");
    addItalian(w, readOmw(ItalWordNetTab), readOmw(MultiWordNetTab), wn);
    // What Hunspell gives the build: a form and its headword.
    w.addForm("vado", "andare");
    w.addForm("macchine", "macchina");
    w.addForm("nessuno", "nessuna"); // no headword: left out
    std::string error;
    const std::string path = s.path("it.db");
    EXPECT_TRUE(w.write(path, "test sources", error)) << error;
    return path;
}

// A lookup as a line a test can compare: each headword's key ("+" before a
// form's), then each meaning's headword, source and language, and text.
std::string shown(const DefinitionBook& book, std::string_view entry, std::size_t limit = 20) {
    std::string error;
    std::string out;
    for (const EntryMeanings& e : book.lookup(entry, limit, &error)) {
        out += (out.empty() ? "" : " | ") + std::string(e.form ? "+" : "") + e.key + ":";
        for (const Meaning& m : e.meanings)
            out += " [" + m.headword + "/" + static_cast<char>(m.source) +
                   (m.english ? "/en" : "") + "] " + m.text;
    }
    EXPECT_EQ(error, "") << entry;
    return out;
}

} // namespace

TEST(DefinitionKey, LettersOfHeadwordsAsTheGridHoldsThem) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"ice cream", "ICECREAM"},
        {"ice-cream", "ICECREAM"},
        {"o'clock", "OCLOCK"},
        {"U.S.A.", "USA"},
        {"perch\xC3\xA9", "PERCHE"},
        {"Hot_Springs", "HOTSPRINGS"},
        {"\xC3\x86ther", "AETHER"},
        {"R2D2", std::nullopt},
        {"-", std::nullopt},
        {"", std::nullopt},
        {"\xD0\xB4\xD0\xB0", std::nullopt},
    };
    for (const auto& [written, key] : cases)
        EXPECT_EQ(definitionKey(written), key) << written;
}

TEST(DefinitionForms, CandidatesByLanguage) {
    const auto has = [](const std::vector<std::string>& list, const std::string& w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    };
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"CASES", "en", "CASE"},   {"BOXES", "en", "BOX"},       {"TRIED", "en", "TRY"},
        {"STOPPED", "en", "STOP"}, {"BIGGEST", "en", "BIG"},     {"HAPPIER", "en", "HAPPY"},
        {"WOMEN", "en", "WOMAN"},  {"CHURCHES", "en", "CHURCH"}, {"CASE", "it", "CASA"},
        {"AMICI", "it", "AMICO"},  {"AMICHE", "it", "AMICA"},    {"FUOCHI", "it", "FUOCO"},
        {"CANI", "it", "CANE"},    {"ROSSA", "it", "ROSSO"},     {"ANDAVANO", "it", "ANDARE"},
        {"AMATO", "it", "AMARE"},  {"VEDENDO", "it", "VEDERE"},
    };
    for (const auto& [entry, language, want] : cases) {
        const std::vector<std::string> got = formCandidates(entry, language);
        EXPECT_TRUE(has(got, want)) << entry;
        EXPECT_FALSE(has(got, entry)) << entry;
        EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size()) << entry;
    }
    EXPECT_TRUE(formCandidates("AS", "en").empty());
}

TEST(DefinitionPacking, FieldsSurviveEvenWithSeparatorsInThem) {
    const std::vector<Meaning> meanings = {
        {"ice cream", "n", DefinitionSource::WordNet, false, "frozen dessert"},
        {"casa", "n", DefinitionSource::WordNet, true, "a \x1F odd\x1E text\x1D"},
        {"", "", DefinitionSource::Gcide, false, ""},
    };
    std::vector<Meaning> want = meanings;
    want[1].text = "a   odd  text ";
    EXPECT_EQ(unpackMeanings(packMeanings(meanings)), want);
    EXPECT_TRUE(unpackMeanings("x\x1Fy\x1E").empty());
}

TEST(Gcide, ArticlesAsTheDictdPackageFormatsThem) {
    const GcideEntry gizmo = parseGcideArticle(Articles[0].second);
    EXPECT_EQ(gizmo.headword, "Gizmo");
    EXPECT_EQ(gizmo.partOfSpeech, "n.");
    EXPECT_EQ(gizmo.senses,
              std::vector<std::string>{"A small mechanical device whose name is forgotten."});

    const GcideEntry widget = parseGcideArticle(Articles[1].second);
    EXPECT_EQ(widget.headword, "Widget");
    EXPECT_EQ(widget.senses,
              (std::vector<std::string>{
                  "A small gadget or device; as, a widget for the door.",
                  "(Econ.) A unit of output of an imagined factory. [Colloq.]",
                  "(Arch.) A bracket under a beam.", "(Arch.) A peg in \xC5\x93uvre work."}));
    ASSERT_EQ(widget.phrases.size(), 3u);
    EXPECT_EQ(widget.phrases[0].first, "Widget box");
    EXPECT_EQ(widget.phrases[0].second, std::vector<std::string>{"a box for holding widgets."});
    EXPECT_EQ(widget.phrases[2].first, "Widget smith");
    EXPECT_EQ(widget.phrases[2].second, std::vector<std::string>{"(Mech.) one who makes widgets."});

    // Taken whole from WordNet 1.5, which WordNet 3.0 holds better.
    EXPECT_TRUE(parseGcideArticle(Articles[2].second).senses.empty());

    const GcideEntry ran = parseGcideArticle(Articles[3].second);
    EXPECT_EQ(ran.senses, std::vector<std::string>{"imp. of Run."});
}

TEST(Gcide, TheIndexReadsEachArticleOnce) {
    std::string text;
    std::string index = "00-database-info\tA\tB\n";
    for (const auto& [head, article] : Articles) {
        index += head + "\t" + dictdNumber(text.size()) + "\t" + dictdNumber(article.size()) + "\n";
        text += article;
    }
    index += "Widgets\t" + dictdNumber(Articles[0].second.size()) + "\t" +
             dictdNumber(Articles[1].second.size()) + "\n";
    // Beyond the text, and not a number: passed over.
    index += "Nowhere\t" + dictdNumber(text.size()) + "\tB\n";
    index += "Broken\t!!\tB\n";
    const std::vector<GcideEntry> entries = readGcide(index, text);
    ASSERT_EQ(entries.size(), 3u); // the WordNet article gives nothing
    EXPECT_EQ(entries[1].headword, "Widget");
}

TEST(Definitions, EnglishEntriesTheirFormsAndPhrases) {
    Scratch s;
    const DefinitionBook book(englishBook(s));
    EXPECT_EQ(shown(book, "ICECREAM"), "ICECREAM: [ice cream/w] frozen dessert made of cream");
    // The commoner sense first, as WordNet's index orders them; no examples.
    EXPECT_EQ(shown(book, "CASE"),
              "CASE: [case/w] an occurrence of something [case/w] a portable container for "
              "carrying several objects");
    EXPECT_EQ(shown(book, "CASES"),
              "+CASE: [case/w] an occurrence of something [case/w] a portable container for "
              "carrying several objects");
    // An irregular form from WordNet's lists, after the entry's own meanings.
    EXPECT_EQ(shown(book, "RAN"), "RAN: [Ran/g] imp. of Run. | +RUN: [run/w] a score in baseball "
                                  "made by a runner [run/w] move fast by using one's feet");
    EXPECT_EQ(shown(book, "TRIED"), "+TRY: [try/w] make an effort or attempt");
    EXPECT_EQ(shown(book, "STOPPING"), "+STOP: [stop/w] come to a halt");
    EXPECT_EQ(shown(book, "BIGGEST"), "+BIG: [big/w] above average in size");
    EXPECT_EQ(shown(book, "HOTSPRINGS"), "HOTSPRINGS: [Hot Springs/w] a city in Arkansas");
    EXPECT_EQ(shown(book, "WIDGETBOX"), "WIDGETBOX: [Widget box/g] a box for holding widgets.");
    EXPECT_EQ(shown(book, "GIZMOS"),
              "+GIZMO: [Gizmo/g] A small mechanical device whose name is forgotten.");
    EXPECT_EQ(shown(book, "XYZZY"), "");
    EXPECT_EQ(shown(book, "A?C"), "");
    // The limit counts meanings.
    EXPECT_EQ(shown(book, "WIDGET", 2),
              "WIDGET: [Widget/g] A small gadget or device; as, a widget for the door. [Widget/g] "
              "(Econ.) A unit of output of an imagined factory. [Colloq.]");
    EXPECT_EQ(book.language(), "en");
}

TEST(Definitions, ItalianEntriesWithTheirEnglishGlossMarked) {
    Scratch s;
    const DefinitionBook book(italianBook(s));
    EXPECT_EQ(shown(book, "GELATO"), "GELATO: [gelato/i] dolce freddo a base di latte");
    EXPECT_EQ(shown(book, "GELATI"), "+GELATO: [gelato/i] dolce freddo a base di latte");
    // A plural of a feminine noun goes to it before the rules' other guesses.
    EXPECT_EQ(shown(book, "CASE"), "+CASA: [casa/m] edificio per abitarvi | +CASO: [caso/w/en] "
                                   "an occurrence of something");
    EXPECT_EQ(shown(book, "AMICHE"), "+AMICA: [amica/i] donna legata da amicizia");
    EXPECT_EQ(shown(book, "ANDAVANO"), "+ANDARE: [andare/i] muoversi da un luogo a un altro");
    EXPECT_EQ(shown(book, "VADO"), "+ANDARE: [andare/i] muoversi da un luogo a un altro");
    // No Italian definition: the English gloss of the sense, marked English;
    // a link to an encyclopedia page is no definition.
    EXPECT_EQ(shown(book, "AUTO"), "AUTO: [auto/w/en] a motor vehicle with four wheels");
    EXPECT_EQ(shown(book, "MACCHINE"),
              "+MACCHINA: [macchina/w/en] a motor vehicle with four wheels");
    EXPECT_EQ(shown(book, "CORRERE"), "CORRERE: [correre/w/en] move fast by using one's feet");
    // A headword is no form of the one with another last vowel.
    EXPECT_EQ(shown(book, "CASA"), "CASA: [casa/m] edificio per abitarvi");
    EXPECT_EQ(shown(book, "NESSUNO"), "");
    EXPECT_EQ(book.language(), "it");
}

TEST(Definitions, AFileThatIsNoBookSaysSo) {
    Scratch s;
    std::string error;
    const DefinitionBook missing(s.path("none.db"));
    EXPECT_TRUE(missing.lookup("CASE", 10, &error).empty());
    EXPECT_NE(error.find("none.db"), std::string::npos);

    std::ofstream(s.path("text.db")) << "not a database at all, just some words\n";
    const DefinitionBook text(s.path("text.db"));
    error.clear();
    EXPECT_TRUE(text.lookup("CASE", 10, &error).empty());
    EXPECT_NE(error.find("text.db"), std::string::npos);
    // The error stays for later lookups, which do not try again.
    error.clear();
    EXPECT_TRUE(text.lookup("CASE", 10, &error).empty());
    EXPECT_NE(error, "");
}

TEST(Definitions, TheSameSourcesGiveTheSameBytes) {
    Scratch a;
    Scratch b;
    const auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(bytes(englishBook(a)), bytes(englishBook(b)));
    EXPECT_EQ(bytes(italianBook(a)), bytes(italianBook(b)));
}

TEST(Definitions, SeveralBooksInTurn) {
    Scratch s;
    const DefinitionBook italian(italianBook(s));
    const DefinitionBook english(englishBook(s));
    std::size_t headwords = 0;
    std::size_t meanings = 0;
    for (const EntryMeanings& e : lookupAll({&italian, &english}, "CASE", 3)) {
        ++headwords;
        meanings += e.meanings.size();
    }
    EXPECT_EQ(headwords, 3u); // CASA, CASO, then English CASE cut to one
    EXPECT_EQ(meanings, 3u);
}

// --- the shipped files, when the build made them

#ifdef KORVEL_DEFINITIONS_DIR
TEST(ShippedDefinitions, EntriesOfEachLanguage) {
    const std::string dir = KORVEL_DEFINITIONS_DIR;
    const DefinitionBook english(dir + "/en/definitions.db");
    const DefinitionBook italian(dir + "/definitions.db");
    struct Case {
        const DefinitionBook* book;
        std::string entry;
        std::string key;      // the headword looked for among those found; "" for none
        std::string headword; // of its first meaning
        bool form;
        bool english;
    };
    const std::vector<Case> cases = {
        {&english, "ICECREAM", "ICECREAM", "ice cream", false, false},
        {&english, "HOTDOGS", "HOTDOG", "hot dog", true, false},
        {&english, "CASES", "CASE", "case", true, false},
        {&english, "RAN", "RUN", "run", true, false},
        {&english, "CHILDREN", "CHILD", "child", true, false},
        {&english, "TRIED", "TRY", "try", true, false},
        {&english, "ABACUS", "ABACUS", "abacus", false, false},
        {&english, "XQZJ", "", "", false, false},
        {&italian, "GELATO", "GELATO", "gelato", false, false},
        {&italian, "CASE", "CASA", "casa", true, false},
        {&italian, "ANDAVANO", "ANDARE", "andare", true, false},
        {&italian, "AMAVA", "AMARE", "amare", true, false},
        {&italian, "PERCHE", "PERCHE", "perch\xC3\xA9", false, true},
        {&italian, "XQZJ", "", "", false, false},
    };
    for (const Case& c : cases) {
        std::string error;
        const std::vector<EntryMeanings> got = c.book->lookup(c.entry, 60, &error);
        EXPECT_EQ(error, "") << c.entry;
        if (c.key.empty()) {
            EXPECT_TRUE(got.empty()) << c.entry;
            continue;
        }
        const auto e = std::find_if(got.begin(), got.end(),
                                    [&](const EntryMeanings& x) { return x.key == c.key; });
        ASSERT_NE(e, got.end()) << c.entry;
        ASSERT_FALSE(e->meanings.empty()) << c.entry;
        EXPECT_EQ(e->form, c.form) << c.entry;
        EXPECT_EQ(e->meanings.front().headword, c.headword) << c.entry;
        EXPECT_EQ(e->meanings.front().english, c.english) << c.entry;
        EXPECT_FALSE(e->meanings.front().text.empty()) << c.entry;
    }
}
#endif

TEST(Definitions, TheFileOfTheFirstFolderThatHasOne) {
    Scratch s;
    std::filesystem::create_directories(s.path("set"));
    std::filesystem::create_directories(s.path("installed"));
    std::filesystem::create_directories(s.path("folder/definitions.db"));
    std::ofstream(s.path("installed/definitions.db")) << "x";
    // A folder of the name is no file; the set without one is passed over.
    EXPECT_EQ(findDefinitions({s.path("folder"), s.path("set"), "", s.path("installed/")}),
              s.path("installed/definitions.db"));
    std::ofstream(s.path("set/definitions.db")) << "x";
    EXPECT_EQ(findDefinitions({s.path("set"), s.path("installed")}), s.path("set/definitions.db"));
    EXPECT_EQ(findDefinitions({s.path("none")}), "");
    EXPECT_EQ(findDefinitions({}), "");
}
