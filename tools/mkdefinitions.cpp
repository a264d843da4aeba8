// SPDX-License-Identifier: GPL-3.0-or-later
// mkdefinitions: makes the definitions file of one language at build time
// from the sources Debian installs (and the Italian wordnets the project
// keeps). Not installed: the build runs it, nobody else needs it.
//
//   mkdefinitions -o OUT --language en --wordnet DIR
//                 [--gcide-index FILE --gcide-text FILE]
//   mkdefinitions -o OUT --language it --wordnet DIR --italwordnet FILE
//                 --multiwordnet FILE [--hunspell AFF DIC --words FILE]
//
// DIR is WordNet 3.0's dict folder (index.*, data.*, *.exc). The GCIDE text
// is the dictd data uncompressed. With Hunspell and a word list, every word
// of the list that Hunspell takes as a form of a headword of the file leads
// to it (AMAVA to AMARE). The same inputs give the same bytes.

#include "definitionsbuild.h"
#include "regularfile.h"

#include <hunspell/hunspell.hxx>

#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

using namespace korvel;

namespace {

// Every source is far below this; a larger file is not one of them.
constexpr uint64_t MaxSourceBytes = uint64_t(1) << 30;

bool readAll(const std::string& path, std::string& text) {
    const FileReadResult r = readRegularFile(AT_FDCWD, path, MaxSourceBytes, text);
    if (!r.ok()) {
        std::cerr << "mkdefinitions: " << path << ": " << r.cause << "\n";
        return false;
    }
    return true;
}

int usage() {
    std::cerr << "usage: mkdefinitions -o OUT --language en|it --wordnet DIR\n"
                 "         [--gcide-index FILE --gcide-text FILE]\n"
                 "         [--italwordnet FILE --multiwordnet FILE]\n"
                 "         [--hunspell AFF DIC --words FILE]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string out, language, wordnet, gcideIndex, gcideText, iwn, mwn, aff, dic, words;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto next = [&](std::string& v) {
            if (i + 1 >= argc)
                return false;
            v = argv[++i];
            return true;
        };
        bool ok = true;
        if (a == "-o")
            ok = next(out);
        else if (a == "--language")
            ok = next(language);
        else if (a == "--wordnet")
            ok = next(wordnet);
        else if (a == "--gcide-index")
            ok = next(gcideIndex);
        else if (a == "--gcide-text")
            ok = next(gcideText);
        else if (a == "--italwordnet")
            ok = next(iwn);
        else if (a == "--multiwordnet")
            ok = next(mwn);
        else if (a == "--hunspell")
            ok = next(aff) && next(dic);
        else if (a == "--words")
            ok = next(words);
        else
            ok = false;
        if (!ok)
            return usage();
    }
    if (out.empty() || wordnet.empty() || (language != "en" && language != "it"))
        return usage();

    WordNet wn;
    for (const auto& [name, pos] : {std::pair{"noun", 'n'}, std::pair{"verb", 'v'},
                                    std::pair{"adj", 'a'}, std::pair{"adv", 'r'}}) {
        std::string text;
        if (!readAll(wordnet + "/data." + name, text))
            return 1;
        readWordNetData(text, pos, wn);
        if (language == "en") {
            if (!readAll(wordnet + "/index." + name, text))
                return 1;
            readWordNetIndex(text, pos, wn);
            if (!readAll(wordnet + "/" + name + ".exc", text))
                return 1;
            readWordNetExceptions(text, wn);
        }
    }

    DefinitionsWriter writer(language);
    std::string attribution;
    if (language == "en") {
        addWordNet(writer, wn);
        attribution = "WordNet 3.0, Princeton University (WordNet licence)";
        if (!gcideIndex.empty()) {
            std::string index, text;
            if (!readAll(gcideIndex, index) || !readAll(gcideText, text))
                return 1;
            addGcide(writer, readGcide(index, text), 8);
            attribution += "; GCIDE, the GNU Collaborative International Dictionary of English "
                           "(GPL-2+)";
        }
    } else {
        if (iwn.empty() || mwn.empty())
            return usage();
        std::string a, b;
        if (!readAll(iwn, a) || !readAll(mwn, b))
            return 1;
        addItalian(writer, readOmw(a), readOmw(b), wn);
        attribution = "ItalWordNet (ODC-By 1.0), MultiWordNet (CC BY 3.0), through the Open "
                      "Multilingual Wordnet; English glosses from WordNet 3.0, Princeton "
                      "University";
        if (!aff.empty() && !words.empty()) {
            Hunspell hunspell(aff.c_str(), dic.c_str());
            std::string list;
            if (!readAll(words, list))
                return 1;
            std::size_t start = 0;
            while (start < list.size()) {
                std::size_t end = list.find('\n', start);
                if (end == std::string::npos)
                    end = list.size();
                std::string word = list.substr(start, end - start);
                start = end + 1;
                if (!word.empty() && word.back() == '\r')
                    word.pop_back();
                if (word.empty())
                    continue;
                const std::optional<std::string> wordKey = definitionKey(word);
                for (const std::string& stem : hunspell.stem(word)) {
                    // Hunspell's Italian takes a noun's other gender for its
                    // stem (casa for caso): a headword of its own is no form
                    // of a word that differs from it in the last letter.
                    const std::optional<std::string> stemKey = definitionKey(stem);
                    if (wordKey && stemKey && writer.hasKey(*wordKey) &&
                        wordKey->size() == stemKey->size() &&
                        wordKey->compare(0, wordKey->size() - 1, *stemKey, 0,
                                         stemKey->size() - 1) == 0)
                        continue;
                    writer.addForm(word, stem);
                }
            }
        }
    }
    std::string error;
    if (!writer.write(out, attribution, error)) {
        std::cerr << "mkdefinitions: " << out << ": " << error << "\n";
        return 1;
    }
    std::cout << "mkdefinitions: " << out << ": " << writer.keys() << " headwords, "
              << writer.meanings() << " meanings\n";
    return 0;
}
