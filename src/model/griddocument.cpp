#include "griddocument.h"

#include "kvlfile.h"

namespace korvel {

void GridDocument::newGrid(int16_t rows, int16_t columns) {
    grid_ = GridModel::make(rows, columns);
    fileName_.clear();
    markSaved();
}

bool GridDocument::open(const std::string& path, std::string& error) {
    KvlReadResult r = loadKvlFile(path);
    if (!r.grid) {
        error = r.error;
        return false;
    }
    grid_ = std::move(*r.grid);
    fileName_ = path;
    begin();
    markSaved();
    return true;
}

bool GridDocument::save(std::string& error) {
    if (!saveKvlFile(fileName_, grid_, error))
        return false;
    markSaved();
    return true;
}

} // namespace korvel
