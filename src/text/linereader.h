// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads a regular file a line at a time, for inputs that are converted rather
// than loaded (word lists of any length, such as the output of unmunch): the
// memory held is one buffer and the current line, never the whole file.

#include "regularfile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace korvel {

class LineReader {
public:
    static constexpr std::size_t DefaultChunkBytes = std::size_t{1} << 20;

    // A line longer than lineCap bytes (its LF not counted) stops the read,
    // so a file without line ends cannot take the memory. chunkBytes is what
    // one read asks for.
    explicit LineReader(uint64_t lineCap, std::size_t chunkBytes = DefaultChunkBytes)
        : lineCap_(lineCap), chunkBytes_(chunkBytes == 0 ? 1 : chunkBytes) {}
    ~LineReader() { release(); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens path (relative to dirfd) as readRegularFile would, without its
    // size cap. Anything but a regular file is refused, a FIFO without
    // waiting for a writer. A file opened before is closed first.
    FileReadResult open(int dirfd, const std::string& path) {
        release();
        begin_ = end_ = 0;
        carryOut_ = atEnd_ = false;
        lines_ = 0;
        struct stat st {};
        status_ = openRegularFile(dirfd, path, false, fd_, st);
        if (status_.ok()) {
            ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
        }
        return status_;
    }

    // Sets line to the next line without its LF; it stays valid until the
    // next call. Lines end at LF; a last line without LF counts, an empty
    // rest after the last LF does not. False at the end of the file and on
    // failure; status() then tells which.
    bool next(std::string_view& line) {
        if (fd_ < 0) {
            return false;
        }
        if (carryOut_) {
            carry_.clear();
            carryOut_ = false;
        }
        for (;;) {
            const std::string_view rest(chunk_.data() + begin_, end_ - begin_);
            const std::size_t lf = rest.find('\n');
            const std::string_view piece = rest.substr(0, lf);
            if (carry_.size() + piece.size() > lineCap_) {
                return fail(FileReadStatus::TooLarge, "line " + std::to_string(lines_ + 1) +
                                                          " is longer than " +
                                                          std::to_string(lineCap_) + " bytes");
            }
            if (lf != std::string_view::npos) {
                begin_ += lf + 1;
                ++lines_;
                if (carry_.empty()) {
                    line = piece;
                } else {
                    carry_ += piece;
                    line = carry_;
                    carryOut_ = true;
                }
                return true;
            }
            carry_ += piece;
            begin_ = end_ = 0;
            if (atEnd_) {
                if (carry_.empty()) {
                    release();
                    return false;
                }
                ++lines_;
                line = carry_;
                carryOut_ = true;
                return true;
            }
            // The buffer is taken at the first read and given back at the
            // end or on failure.
            chunk_.resize(chunkBytes_);
            const ssize_t n = ::read(fd_, chunk_.data(), chunk_.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return fail(FileReadStatus::Failed,
                            std::string("cannot be read: ") + std::strerror(errno));
            }
            if (n == 0) {
                atEnd_ = true;
            }
            end_ = static_cast<std::size_t>(n);
        }
    }

    // Ok while reading and after the end; otherwise why the open or a read
    // failed, to follow the file's name.
    const FileReadResult& status() const { return status_; }

    // The lines handed out so far.
    uint64_t lineCount() const { return lines_; }

private:
    bool fail(FileReadStatus s, std::string cause) {
        status_ = FileReadResult{s, std::move(cause)};
        release();
        return false;
    }

    void release() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
        chunk_ = std::string();
        carry_ = std::string();
    }

    uint64_t lineCap_;
    std::size_t chunkBytes_;
    std::string chunk_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::string carry_; // the start of a line that runs past the chunk
    bool carryOut_ = false;
    bool atEnd_ = false;
    int fd_ = -1;
    uint64_t lines_ = 0;
    FileReadResult status_;
};

} // namespace korvel
