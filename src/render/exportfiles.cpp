#include "exportfiles.h"

#include "gridpages.h"
#include "ipuzfile.h"
#include "puzfile.h"
#include "svggrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

namespace {

QByteArray toBytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

QString systemError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace

bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    // QSaveFile buffers its writes, and commit() in Qt 6.4 renames even when
    // the last buffered write failed; so every step is checked here, and the
    // data is on disk before the rename.
    bool ok = file.write(bytes) == bytes.size() && file.flush();
    if (ok && ::fsync(file.handle()) != 0) {
        const int err = errno;
        file.cancelWriting();
        return fail(systemError(err));
    }
    if (!ok) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    // The rename itself reaches the disk with the folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 cap, QString* error) {
    const auto fail = [&](const QString& why) -> std::optional<QByteArray> {
        if (error) {
            *error = why;
        }
        return std::nullopt;
    };
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return fail(systemError(errno));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("not a regular file"));
    }
    QByteArray bytes;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return fail(systemError(err));
        }
        if (n == 0) {
            break;
        }
        bytes.append(buf, n);
        if (bytes.size() > cap) {
            ::close(fd);
            return fail(QStringLiteral("larger than %1 bytes").arg(cap));
        }
    }
    ::close(fd);
    return bytes;
}

ExportOutcome exportGrid(const GridModel& grid, ExportFormat format, const QString& path,
                         const QString& title) {
    ExportOutcome out;
    const std::string titleBytes = title.toStdString();
    QList<QPair<QString, QByteArray>> files;
    switch (format) {
    case ExportFormat::Ipuz:
        files.append({path, toBytes(writeIpuz(grid, titleBytes))});
        break;
    case ExportFormat::Puz: {
        const PuzWriteResult puz = writePuz(grid);
        if (!puz.error.empty()) {
            out.error = QString::fromStdString(puz.error);
            out.refused = true;
            return out;
        }
        files.append({path, toBytes(puz.bytes)});
        break;
    }
    case ExportFormat::Svg: {
        const QString second = QString::fromStdString(solutionSvgPath(path.toStdString()));
        files.append({path, toBytes(writeSvg(grid, titleBytes, false))});
        files.append({second, toBytes(writeSvg(grid, titleBytes, true))});
        break;
    }
    case ExportFormat::Pdf: {
        const QByteArray pdf = gridPdf(grid, title);
        if (pdf.isEmpty()) {
            out.error = QStringLiteral("The PDF document could not be made.");
            return out;
        }
        files.append({path, pdf});
        break;
    }
    }
    for (const auto& [name, bytes] : files) {
        QString why;
        if (!writeFileSafely(name, bytes, &why)) {
            out.error = QStringLiteral("%1 could not be written: %2").arg(name, why);
            return out;
        }
        out.written << name;
    }
    out.ok = true;
    return out;
}

} // namespace korvel
