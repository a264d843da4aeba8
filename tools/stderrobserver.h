#pragma once

#include "loader.h"

#include <iostream>
#include <string>

namespace korvel {

// What the loader has to say, for a command-line tool: every message on
// standard error, and for a fatal one the file and the cause after it.
class StderrObserver : public LoadObserver {
public:
    void outOfSequence(const std::string& message) override { std::cerr << message << "\n"; }
    void warning(const std::string& message) override { std::cerr << message << "\n"; }
    void fatal(const std::string&, const std::string& message) override {
        std::cerr << message << "\n";
    }
    void fatalWithDetail(const std::string&, const std::string& message,
                         const std::string& detail) override {
        std::cerr << message << "\n" << detail << "\n";
    }
};

} // namespace korvel
