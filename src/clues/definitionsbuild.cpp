// SPDX-License-Identifier: GPL-3.0-or-later
#include "definitionsbuild.h"

#include <sqlite3.h>
#include <zstd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace korvel {

namespace {

// --- text helpers

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::vector<std::string_view> splitFields(std::string_view line, char sep) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t at = line.find(sep);
        out.push_back(line.substr(0, at));
        if (at == std::string_view::npos)
            return out;
        line.remove_prefix(at + 1);
    }
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string collapse(std::string_view s) {
    std::string out;
    bool blank = false;
    for (char c : s) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::size_t indentation(std::string_view line) {
    std::size_t n = 0;
    while (n < line.size() && line[n] == ' ')
        ++n;
    return n;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// At most about n bytes, cut at a blank and marked, never inside a UTF-8
// sequence.
std::string shortened(std::string text, std::size_t n) {
    if (text.size() <= n)
        return text;
    std::size_t cut = text.rfind(' ', n);
    if (cut == std::string::npos || cut < n / 2) {
        cut = n;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
    }
    text.resize(cut);
    while (!text.empty() && (text.back() == ',' || text.back() == ';' || text.back() == ' '))
        text.pop_back();
    return text + "\xE2\x80\xA6";
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// --- GCIDE

// GCIDE's escapes for the letters and signs its ASCII text cannot hold.
struct Escape {
    std::string_view code;
    std::string_view utf8;
};
constexpr std::array<Escape, 46> Escapes = {{
    {"ae", "\xC3\xA6"},     {"AE", "\xC3\x86"},    {"oe", "\xC5\x93"},    {"OE", "\xC5\x92"},
    {"'e", "\xC3\xA9"},     {"'a", "\xC3\xA1"},    {"'o", "\xC3\xB3"},    {"'i", "\xC3\xAD"},
    {"'u", "\xC3\xBA"},     {"'E", "\xC3\x89"},    {"`e", "\xC3\xA8"},    {"`a", "\xC3\xA0"},
    {"`o", "\xC3\xB2"},     {"`u", "\xC3\xB9"},    {"\"o", "\xC3\xB6"},   {"\"u", "\xC3\xBC"},
    {"\"e", "\xC3\xAB"},    {"\"i", "\xC3\xAF"},   {"\"a", "\xC3\xA4"},   {"aum", "\xC3\xA4"},
    {"^e", "\xC3\xAA"},     {"^a", "\xC3\xA2"},    {"^o", "\xC3\xB4"},    {"^u", "\xC3\xBB"},
    {"^i", "\xC3\xAE"},     {"~n", "\xC3\xB1"},    {",c", "\xC3\xA7"},    {"deg", "\xC2\xB0"},
    {"sect", "\xC2\xA7"},   {"=a", "\xC4\x81"},    {"=e", "\xC4\x93"},    {"=i", "\xC4\xAB"},
    {"imac", "\xC4\xAB"},   {"=o", "\xC5\x8D"},    {"=u", "\xC5\xAB"},    {"a^", "\xC4\x83"},
    {"e^", "\xC4\x95"},     {"i^", "\xC4\xAD"},    {"o^", "\xC5\x8F"},    {"u^", "\xC5\xAD"},
    {"eth", "\xC3\xB0"},    {"thorn", "\xC3\xBE"}, {"pound", "\xC2\xA3"}, {"frac12", "\xC2\xBD"},
    {"frac14", "\xC2\xBC"}, {"times", "\xC3\x97"},
}};

// The text with its escapes as letters, "{" and "}" (the marks of a
// reference) left out, and blanks collapsed. An unknown escape keeps its
// letters.
std::string gcideText(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '{' || c == '}')
            continue;
        if (c == '[') {
            const std::size_t close = s.find(']', i);
            if (close != std::string_view::npos && close - i <= 7) {
                const std::string_view code = s.substr(i + 1, close - i - 1);
                const auto e = std::find_if(Escapes.begin(), Escapes.end(),
                                            [&](const Escape& x) { return x.code == code; });
                const bool letters =
                    !code.empty() && std::all_of(code.begin(), code.end(), [](char x) {
                        return (x >= 'a' && x <= 'z') || (x >= 'A' && x <= 'Z') || x == '.' ||
                               x == '=' || x == '^' || x == '\'' || x == '`' || x == '"' ||
                               x == '~' || x == ',' || x == '-' || x == '*';
                    });
                if (e != Escapes.end()) {
                    out += e->utf8;
                    i = close;
                    continue;
                }
                // A short code such as "[.a]" or "[-o]": its letter; a tag
                // such as "[Obs.]" or "[R.]" stays as it is.
                const bool tag =
                    code.size() >= 2 && code[0] >= 'A' && code[0] <= 'Z' && code.back() == '.';
                if (letters && !tag && code.size() <= 3) {
                    for (char x : code)
                        if ((x >= 'a' && x <= 'z') || (x >= 'A' && x <= 'Z'))
                            out += x;
                    i = close;
                    continue;
                }
            }
        }
        out += c;
    }
    return collapse(out);
}

// The definition of a sense as shown: no quotation or citation after it.
std::string senseText(std::string_view raw) {
    std::string t = gcideText(raw);
    // A citation ("--Chaucer.") ends a sense; "-- used for ..." does not.
    for (std::size_t at = t.find(" --"); at != std::string::npos; at = t.find(" --", at + 1)) {
        if (at + 3 < t.size() && t[at + 3] >= 'A' && t[at + 3] <= 'Z') {
            t.resize(at);
            break;
        }
    }
    for (std::string_view q : {". \"", "] \"", ": \"", "? \"", "! \""}) {
        const std::size_t at = t.find(q);
        if (at != std::string::npos)
            t.resize(at + 1);
    }
    while (!t.empty() && (t.back() == ' ' || t.back() == '-' || t.back() == ','))
        t.pop_back();
    return t;
}

// A sense's number at the start of a line: "1.", "12.", "(a)". Returns where
// its text starts, or npos.
std::size_t senseStart(std::string_view line) {
    const std::size_t ind = indentation(line);
    if (ind < 2 || ind > 10)
        return std::string_view::npos;
    std::string_view t = line.substr(ind);
    std::size_t n = 0;
    while (n < t.size() && t[n] >= '0' && t[n] <= '9')
        ++n;
    if (n > 0 && n <= 2 && n < t.size() && t[n] == '.' && n + 1 < t.size() && t[n + 1] == ' ')
        return ind + n + 2;
    if (t.size() > 4 && t[0] == '(' && t[1] >= 'a' && t[1] <= 'z' && t[2] == ')' && t[3] == ' ')
        return ind + 4;
    return std::string_view::npos;
}

// A line that is only a source mark, "[1913 Webster]"; its text.
std::optional<std::string_view> sourceMark(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.size() >= 3 && t.front() == '[' && t.back() == ']' && t.find(']') == t.size() - 1)
        return t.substr(1, t.size() - 2);
    return std::nullopt;
}

// The part of speech marks a header may give.
bool partOfSpeechWord(std::string_view w) {
    static constexpr std::array<std::string_view, 27> Words = {
        "n.",    "v.", "t.",  "i.",   "a.",  "adv.", "prep.",   "conj.",   "interj.",
        "pron.", "p.", "pr.", "imp.", "pl.", "vb.",  "superl.", "compar.", "sing.",
        "adj.",  "&",  "n",   "v",    "adj", "adv",  "pret.",   "inf.",    "pers."};
    return std::find(Words.begin(), Words.end(), w) != Words.end();
}

// The position of the bracket that closes the one at open (any of ([{).
std::size_t matching(std::string_view s, std::size_t open) {
    const char o = s[open];
    const char c = o == '(' ? ')' : o == '[' ? ']' : '}';
    int depth = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
        if (s[i] == o)
            ++depth;
        else if (s[i] == c && --depth == 0)
            return i;
    }
    return std::string_view::npos;
}

// A field label such as "(Bot.)" or "(Physiol. Chem.)", unlike a
// pronunciation in brackets.
bool fieldLabel(std::string_view group) {
    return group.size() > 2 && group[1] >= 'A' && group[1] <= 'Z' &&
           group.find_first_of("[\"*`\\") == std::string_view::npos;
}

struct Header {
    std::string headword;
    std::string partOfSpeech;
    std::string rest; // what follows the header: a definition without a number
};

// "Word \Word\ (pron), pos. [etymology] (Field) definition ...".
Header parseHeader(std::string_view h) {
    Header out;
    std::size_t pos = h.find('\\');
    if (pos == std::string_view::npos) {
        out.headword = std::string(trim(h.substr(0, h.find(','))));
        return out;
    }
    out.headword = std::string(trim(h.substr(0, pos)));
    // The spelling of each headword between backslashes, several headwords
    // separated by commas.
    for (;;) {
        const std::size_t close = h.find('\\', pos + 1);
        if (close == std::string_view::npos)
            return out;
        pos = close + 1;
        const std::size_t next = h.find('\\', pos);
        const std::string_view between = trim(h.substr(pos, next - pos));
        if (next == std::string_view::npos || between.empty() || between.front() != ',' ||
            between.size() > 60 || between.find('(') != std::string_view::npos)
            break;
        pos = next;
    }
    std::string pos1;
    bool posDone = false;
    while (pos < h.size()) {
        while (pos < h.size() && (h[pos] == ' ' || h[pos] == ',' || h[pos] == ';')) {
            // "n.; pl. {Children}": what follows the semicolon is no part
            // of speech.
            posDone = posDone || (h[pos] == ';' && !pos1.empty());
            ++pos;
        }
        if (pos >= h.size())
            break;
        const char c = h[pos];
        if (c == '(' || c == '[' || c == '{') {
            const std::size_t close = matching(h, pos);
            if (close == std::string_view::npos)
                break;
            const std::string_view group = h.substr(pos, close - pos + 1);
            if (c == '(' && fieldLabel(group))
                break;
            pos = close + 1;
            posDone = posDone || !pos1.empty();
            continue;
        }
        const std::size_t end = std::min(h.find(' ', pos), h.size());
        std::string_view word = h.substr(pos, end - pos);
        while (!word.empty() && (word.back() == ',' || word.back() == ';'))
            word.remove_suffix(1);
        if (!partOfSpeechWord(word))
            break;
        if (!posDone)
            pos1 += (pos1.empty() ? "" : " ") + std::string(word);
        pos = end;
    }
    out.partOfSpeech = pos1;
    out.rest = std::string(trim(h.substr(std::min(pos, h.size()))));
    // "imp. of {Run}": the marks were the definition.
    if (startsWith(out.rest, "of ") && !pos1.empty())
        out.rest = pos1 + " " + out.rest;
    return out;
}

// A phrase paragraph: "{Ice cream} [for iced cream], cream, milk ..." or
// "{Ice box} or {Ice chest}, a box ..." or "{Ice boat}." followed by
// lettered senses.
void parsePhrase(const std::vector<std::string_view>& lines, GcideEntry& entry) {
    std::string text;
    std::vector<std::string> senses;
    std::string current;
    bool head = true;
    for (std::string_view line : lines) {
        const std::size_t start = senseStart(line);
        if (start != std::string_view::npos) {
            head = false;
            if (!current.empty())
                senses.push_back(current);
            current = std::string(line.substr(start));
            continue;
        }
        std::string& into = head ? text : current;
        into += (into.empty() ? "" : " ") + std::string(trim(line));
    }
    if (!current.empty())
        senses.push_back(current);
    std::vector<std::string> names;
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos < text.size() && text[pos] == '{') {
            const std::size_t close = matching(text, pos);
            if (close == std::string::npos)
                return;
            names.push_back(gcideText(text.substr(pos + 1, close - pos - 1)));
            pos = close + 1;
            continue;
        }
        if (startsWith(std::string_view(text).substr(pos), "or {")) {
            pos += 3;
            continue;
        }
        if (startsWith(std::string_view(text).substr(pos), ", {")) {
            pos += 2;
            continue;
        }
        break;
    }
    std::string field;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos < text.size() && (text[pos] == '[' || text[pos] == '(')) {
            const std::size_t close = matching(text, pos);
            if (close == std::string::npos)
                break;
            const std::string_view group = std::string_view(text).substr(pos, close - pos + 1);
            if (text[pos] == '(' && fieldLabel(group))
                field = std::string(group);
            pos = close + 1;
            continue;
        }
        break;
    }
    std::string_view rest = std::string_view(text).substr(std::min(pos, text.size()));
    while (!rest.empty() && (rest.front() == ',' || rest.front() == '.' || rest.front() == ' '))
        rest.remove_prefix(1);
    if (!rest.empty())
        senses.insert(senses.begin(), std::string(rest));
    std::vector<std::string> clean;
    for (const std::string& s : senses) {
        std::string t = senseText(s);
        if (!t.empty())
            clean.push_back(field.empty() ? t : field + " " + t);
    }
    if (clean.empty())
        return;
    for (const std::string& name : names)
        if (!name.empty() && name.size() <= 60)
            entry.phrases.emplace_back(name, clean);
}

} // namespace

// --- the writer

void DefinitionsWriter::add(Meaning meaning) {
    const std::optional<std::string> key = definitionKey(meaning.headword);
    if (!key || key->size() < 2 || meaning.text.empty())
        return;
    std::vector<Meaning>& list = entries_[*key];
    if (list.size() >= maxPerKey_)
        return;
    if (std::any_of(list.begin(), list.end(),
                    [&](const Meaning& m) { return m.text == meaning.text; }))
        return;
    list.push_back(std::move(meaning));
}

void DefinitionsWriter::addForm(std::string_view form, std::string_view lemma) {
    const std::optional<std::string> f = definitionKey(form);
    const std::optional<std::string> l = definitionKey(lemma);
    if (!f || !l || *f == *l || f->size() < 2)
        return;
    std::vector<std::string>& list = forms_[*f];
    if (std::find(list.begin(), list.end(), *l) == list.end())
        list.push_back(*l);
}

std::size_t DefinitionsWriter::meanings() const {
    std::size_t n = 0;
    for (const auto& [key, list] : entries_)
        n += list.size();
    return n;
}

namespace {

struct Database {
    sqlite3* db = nullptr;
    ~Database() {
        if (db)
            sqlite3_close(db);
    }
    bool exec(const char* sql, std::string& error) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        error = message ? message : "SQLite error";
        sqlite3_free(message);
        return false;
    }
};

} // namespace

bool DefinitionsWriter::write(const std::string& path, const std::string& attribution,
                              std::string& error) const {
    // Consecutive keys go together into blocks of about BlockBytes, each
    // compressed on its own: a lookup unpacks one block, and the blocks
    // compress about as well as the whole text would.
    std::vector<std::pair<std::string, std::string>> blocks; // first key, plain block
    for (const auto& [key, list] : entries_) {
        if (blocks.empty() || blocks.back().second.size() >= DefinitionBook::BlockBytes)
            blocks.emplace_back(key, std::string());
        blocks.back().second += key + EntryEnd + packMeanings(list) + BlockEntryEnd;
    }
    ZSTD_CCtx* context = ZSTD_createCCtx();
    std::remove(path.c_str());
    Database d;
    bool ok = context != nullptr &&
              sqlite3_open_v2(path.c_str(), &d.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr) == SQLITE_OK;
    if (!ok)
        error = d.db ? sqlite3_errmsg(d.db) : "cannot be made";
    ok = ok &&
         d.exec("PRAGMA page_size = 4096; PRAGMA journal_mode = OFF; "
                "PRAGMA synchronous = OFF; BEGIN; "
                "CREATE TABLE meta(name TEXT PRIMARY KEY, value) WITHOUT ROWID; "
                "CREATE TABLE block(first TEXT PRIMARY KEY, data BLOB NOT NULL) WITHOUT ROWID; "
                "CREATE TABLE form(key TEXT PRIMARY KEY, lemmas TEXT NOT NULL) WITHOUT ROWID;",
                error);
    sqlite3_stmt* meta = nullptr;
    sqlite3_stmt* block = nullptr;
    sqlite3_stmt* form = nullptr;
    ok = ok &&
         sqlite3_prepare_v2(d.db, "INSERT INTO meta VALUES (?1, ?2)", -1, &meta, nullptr) ==
             SQLITE_OK &&
         sqlite3_prepare_v2(d.db, "INSERT INTO block VALUES (?1, ?2)", -1, &block, nullptr) ==
             SQLITE_OK &&
         sqlite3_prepare_v2(d.db, "INSERT INTO form VALUES (?1, ?2)", -1, &form, nullptr) ==
             SQLITE_OK;
    const auto run = [&](sqlite3_stmt* st) {
        const bool done = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_reset(st);
        if (!done)
            error = sqlite3_errmsg(d.db);
        return done;
    };
    if (ok) {
        sqlite3_bind_text(meta, 1, "format", -1, SQLITE_STATIC);
        sqlite3_bind_int(meta, 2, DefinitionBook::Format);
        ok = run(meta);
        sqlite3_bind_text(meta, 1, "language", -1, SQLITE_STATIC);
        sqlite3_bind_text(meta, 2, language_.c_str(), -1, SQLITE_STATIC);
        ok = ok && run(meta);
        sqlite3_bind_text(meta, 1, "sources", -1, SQLITE_STATIC);
        sqlite3_bind_text(meta, 2, attribution.c_str(), -1, SQLITE_STATIC);
        ok = ok && run(meta);
    }
    std::string frame;
    for (auto it = blocks.begin(); ok && it != blocks.end(); ++it) {
        const std::string& plain = it->second;
        frame.resize(ZSTD_compressBound(plain.size()));
        const std::size_t n =
            ZSTD_compressCCtx(context, frame.data(), frame.size(), plain.data(), plain.size(), 12);
        if (ZSTD_isError(n)) {
            error = ZSTD_getErrorName(n);
            ok = false;
            break;
        }
        sqlite3_bind_text(block, 1, it->first.data(), static_cast<int>(it->first.size()),
                          SQLITE_STATIC);
        sqlite3_bind_blob(block, 2, frame.data(), static_cast<int>(n), SQLITE_STATIC);
        ok = run(block);
    }
    for (auto it = forms_.begin(); ok && it != forms_.end(); ++it) {
        std::string lemmas;
        for (const std::string& l : it->second)
            if (entries_.count(l) != 0)
                lemmas += (lemmas.empty() ? "" : " ") + l;
        if (lemmas.empty())
            continue;
        sqlite3_bind_text(form, 1, it->first.data(), static_cast<int>(it->first.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(form, 2, lemmas.data(), static_cast<int>(lemmas.size()), SQLITE_STATIC);
        ok = run(form);
    }
    sqlite3_finalize(meta);
    sqlite3_finalize(block);
    sqlite3_finalize(form);
    ZSTD_freeCCtx(context);
    ok = ok && d.exec("COMMIT; VACUUM;", error);
    if (!ok) {
        error = path + ": " + error;
        if (d.db) {
            sqlite3_close(d.db);
            d.db = nullptr;
        }
        std::remove(path.c_str());
    }
    return ok;
}

// --- WordNet

void readWordNetData(std::string_view text, char pos, WordNet& wn) {
    for (std::string_view line : splitLines(text)) {
        if (line.empty() || line[0] == ' ')
            continue;
        const std::size_t bar = line.find(" | ");
        const std::vector<std::string_view> f = splitFields(line.substr(0, bar), ' ');
        if (f.size() < 5)
            continue;
        WordNetSynset s;
        const unsigned long count = std::strtoul(std::string(f[3]).c_str(), nullptr, 16);
        for (unsigned long k = 0; k < count && 4 + 2 * k < f.size(); ++k) {
            std::string word(f[4 + 2 * k]);
            // Adjectives may carry their position: "galore(ip)".
            if (const std::size_t paren = word.find('('); paren != std::string::npos)
                word.resize(paren);
            s.words.push_back(std::move(word));
        }
        if (bar != std::string_view::npos) {
            std::string gloss(trim(line.substr(bar + 3)));
            // The examples follow the definition: '; "...'.
            if (const std::size_t example = gloss.find("; \""); example != std::string::npos)
                gloss.resize(example);
            if (!gloss.empty() && gloss.front() == '"')
                gloss.clear();
            s.gloss = collapse(gloss);
        }
        wn.synsets.emplace(std::string(f[0]) + "-" + pos, std::move(s));
    }
}

void readWordNetIndex(std::string_view text, char pos, WordNet& wn) {
    for (std::string_view line : splitLines(text)) {
        if (line.empty() || line[0] == ' ')
            continue;
        const std::vector<std::string_view> f = splitFields(trim(line), ' ');
        if (f.size() < 6)
            continue;
        const unsigned long synsets = std::strtoul(std::string(f[2]).c_str(), nullptr, 10);
        const unsigned long pointers = std::strtoul(std::string(f[3]).c_str(), nullptr, 10);
        const std::size_t first = 4 + pointers + 2;
        if (first + synsets > f.size())
            continue;
        WordNet::Lemma l;
        l.lemma = std::string(f[0]);
        l.pos = pos;
        for (std::size_t k = 0; k < synsets; ++k)
            l.synsets.push_back(std::string(f[first + k]) + "-" + pos);
        wn.lemmas.push_back(std::move(l));
    }
}

void readWordNetExceptions(std::string_view text, WordNet& wn) {
    for (std::string_view line : splitLines(text)) {
        const std::vector<std::string_view> f = splitFields(trim(line), ' ');
        for (std::size_t k = 1; k < f.size(); ++k)
            if (!f[0].empty() && !f[k].empty())
                wn.exceptions.emplace_back(std::string(f[0]), std::string(f[k]));
    }
}

namespace {

std::string spaced(std::string s) {
    std::replace(s.begin(), s.end(), '_', ' ');
    return s;
}

const char* posName(char pos) {
    switch (pos) {
    case 'n':
        return "n";
    case 'v':
        return "v";
    case 'a':
        return "adj";
    default:
        return "adv";
    }
}

} // namespace

void addWordNet(DefinitionsWriter& out, const WordNet& wn) {
    for (const WordNet::Lemma& l : wn.lemmas) {
        for (const std::string& id : l.synsets) {
            const auto s = wn.synsets.find(id);
            if (s == wn.synsets.end() || s->second.gloss.empty())
                continue;
            std::string headword = l.lemma;
            for (const std::string& w : s->second.words)
                if (lower(w) == l.lemma)
                    headword = w;
            out.add(Meaning{spaced(headword), posName(l.pos), DefinitionSource::WordNet, false,
                            s->second.gloss});
        }
    }
    for (const auto& [form, lemma] : wn.exceptions)
        out.addForm(spaced(form), spaced(lemma));
}

// --- GCIDE

GcideEntry parseGcideArticle(std::string_view article) {
    GcideEntry entry;
    const std::vector<std::string_view> lines = splitLines(article);
    // Source marks: an article taken whole from WordNet 1.5 adds nothing to
    // WordNet 3.0.
    bool webster = false;
    bool wordnet = false;
    for (std::string_view line : lines) {
        if (const auto mark = sourceMark(line)) {
            const bool wn = mark->find("WordNet") != std::string_view::npos;
            wordnet = wordnet || wn;
            webster = webster || !wn;
        }
    }
    if (wordnet && !webster)
        return entry;

    // Paragraphs, without their source marks.
    std::vector<std::vector<std::string_view>> paragraphs(1);
    for (std::string_view line : lines) {
        if (trim(line).empty()) {
            if (!paragraphs.back().empty())
                paragraphs.emplace_back();
            continue;
        }
        if (!sourceMark(line))
            paragraphs.back().push_back(line);
    }
    if (paragraphs.back().empty())
        paragraphs.pop_back();
    if (paragraphs.empty())
        return entry;

    // The header runs to the first numbered sense of the first paragraph.
    const std::vector<std::string_view>& first = paragraphs.front();
    std::size_t bodyStart = 0;
    std::string header;
    while (bodyStart < first.size() &&
           (bodyStart == 0 || senseStart(first[bodyStart]) == std::string_view::npos)) {
        header += (header.empty() ? "" : " ") + std::string(trim(first[bodyStart]));
        ++bodyStart;
    }
    const Header h = parseHeader(header);
    entry.headword = gcideText(h.headword);
    entry.partOfSpeech = h.partOfSpeech;

    std::vector<std::string> senses;
    std::string current;
    std::string field; // "(Arch.)" standing alone before lettered senses
    const auto flush = [&] {
        std::string t = senseText(current);
        current.clear();
        if (t.empty())
            return;
        if (t.front() == '(' && t.back() == ')' && t.find(' ') == std::string::npos) {
            field = t;
            return;
        }
        senses.push_back(field.empty() || t.front() == '(' ? t : field + " " + t);
    };
    bool numbered = false;
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        const std::vector<std::string_view>& para = paragraphs[p];
        const std::size_t from = p == 0 ? bodyStart : 0;
        if (from >= para.size())
            continue;
        const std::string_view lead = para[from];
        const std::string_view t = trim(lead);
        if (indentation(lead) >= 9 && senseStart(lead) == std::string_view::npos)
            continue; // a quotation
        if (startsWith(t, "Note:") || startsWith(t, "Syn:") || startsWith(t, "Usage:"))
            continue;
        if (p > 0 && t.front() == '{' && indentation(lead) <= 4) {
            parsePhrase(para, entry);
            continue;
        }
        // Lines before a paragraph's first number belong to no sense.
        bool inSense = false;
        for (std::size_t i = from; i < para.size(); ++i) {
            const std::size_t start = senseStart(para[i]);
            if (start != std::string_view::npos) {
                if (!current.empty())
                    flush();
                numbered = true;
                inSense = true;
                current = std::string(para[i].substr(start));
            } else if (inSense) {
                current += " " + std::string(trim(para[i]));
            }
        }
        if (!current.empty())
            flush();
        field.clear();
    }
    if (!numbered) {
        std::string t = senseText(h.rest);
        if (!t.empty())
            senses.push_back(std::move(t));
    }
    entry.senses = std::move(senses);
    return entry;
}

std::vector<GcideEntry> readGcide(std::string_view index, std::string_view text) {
    // dictd's numbers: base 64, most significant digit first.
    const auto number = [](std::string_view s, bool& ok) {
        static constexpr std::string_view Digits =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::size_t n = 0;
        for (char c : s) {
            const std::size_t d = Digits.find(c);
            if (d == std::string_view::npos || n > (std::size_t(1) << 40)) {
                ok = false;
                return std::size_t(0);
            }
            n = n * 64 + d;
        }
        return n;
    };
    std::vector<GcideEntry> out;
    std::set<std::pair<std::size_t, std::size_t>> seen;
    for (std::string_view line : splitLines(index)) {
        const std::vector<std::string_view> f = splitFields(line, '\t');
        if (f.size() != 3 || startsWith(f[0], "00-"))
            continue;
        bool ok = true;
        const std::size_t offset = number(f[1], ok);
        const std::size_t length = number(f[2], ok);
        if (!ok || offset > text.size() || length > text.size() - offset ||
            !seen.insert({offset, length}).second)
            continue;
        GcideEntry e = parseGcideArticle(text.substr(offset, length));
        if (!e.headword.empty() && (!e.senses.empty() || !e.phrases.empty()))
            out.push_back(std::move(e));
    }
    return out;
}

void addGcide(DefinitionsWriter& out, const std::vector<GcideEntry>& entries,
              std::size_t maxSenses) {
    constexpr std::size_t MaxText = 240;
    for (const GcideEntry& e : entries) {
        std::size_t n = 0;
        for (const std::string& s : e.senses) {
            if (n++ >= maxSenses)
                break;
            out.add(Meaning{e.headword, e.partOfSpeech, DefinitionSource::Gcide, false,
                            shortened(s, MaxText)});
        }
        for (const auto& [phrase, senses] : e.phrases) {
            std::size_t k = 0;
            for (const std::string& s : senses) {
                if (k++ >= maxSenses)
                    break;
                out.add(Meaning{phrase, "", DefinitionSource::Gcide, false, shortened(s, MaxText)});
            }
        }
    }
}

// --- Open Multilingual Wordnet

std::vector<OmwRecord> readOmw(std::string_view text) {
    std::vector<OmwRecord> out;
    for (std::string_view line : splitLines(text)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string_view> f = splitFields(line, '\t');
        if (f.size() < 3)
            continue;
        // "ita:def" has a number before the text: "ita:def TAB 0 TAB text".
        const std::string_view value = f.size() >= 4 && f[1] == "ita:def" ? f[3] : f[2];
        out.push_back(OmwRecord{std::string(f[0]), std::string(f[1]), collapse(value)});
    }
    return out;
}

void addItalian(DefinitionsWriter& out, const std::vector<OmwRecord>& italWordNet,
                const std::vector<OmwRecord>& multiWordNet, const WordNet& wn) {
    // Italian definitions by synset, ItalWordNet's first; the few that are
    // only a link to an encyclopedia page are no definition.
    std::map<std::string, std::vector<std::pair<std::string, DefinitionSource>>> defs;
    const auto link = [](const std::string& t) {
        return t.find("wiki") != std::string::npos || t.find("http") != std::string::npos ||
               t.find("www.") != std::string::npos;
    };
    for (const auto* records : {&italWordNet, &multiWordNet}) {
        const DefinitionSource source = records == &italWordNet ? DefinitionSource::ItalWordNet
                                                                : DefinitionSource::MultiWordNet;
        for (const OmwRecord& r : *records)
            if (r.kind == "ita:def" && !r.value.empty() && !link(r.value))
                defs[r.synset].emplace_back(r.value, source);
    }
    // Each lemma's senses, in the order the files give them.
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> senses;
    for (const auto* records : {&italWordNet, &multiWordNet}) {
        for (const OmwRecord& r : *records) {
            if (r.kind != "ita:lemma" || r.value.empty())
                continue;
            auto [it, added] = senses.try_emplace(r.value);
            if (added)
                order.push_back(r.value);
            if (std::find(it->second.begin(), it->second.end(), r.synset) == it->second.end())
                it->second.push_back(r.synset);
        }
    }
    for (const std::string& lemma : order) {
        const std::vector<std::string>& ids = senses[lemma];
        // The senses with an Italian definition first, then the others with
        // their English gloss.
        for (const std::string& id : ids) {
            const auto d = defs.find(id);
            if (d == defs.end())
                continue;
            const char pos = id.empty() ? 'n' : id.back();
            out.add(Meaning{lemma, posName(pos), d->second.front().second, false,
                            d->second.front().first});
        }
        for (const std::string& id : ids) {
            if (defs.count(id) != 0)
                continue;
            const auto s = wn.synsets.find(id);
            if (s == wn.synsets.end() || s->second.gloss.empty())
                continue;
            const char pos = id.empty() ? 'n' : id.back();
            out.add(Meaning{lemma, posName(pos), DefinitionSource::WordNet, true, s->second.gloss});
        }
    }
}

} // namespace korvel
