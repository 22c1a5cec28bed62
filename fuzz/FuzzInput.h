#pragma once
// Shared by the fuzz targets: cutting one input into parts, a private scratch folder, and failing
// loudly when a property does not hold.

#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzz {

// The input cut at its first count - 1 NUL bytes; missing parts are empty.
inline std::vector<std::string> split(const uint8_t* data, size_t size, size_t count)
{
    std::vector<std::string> parts(count);
    size_t part = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && part + 1 < count)
            ++part;
        else
            parts[part] += char(data[i]);
    }
    return parts;
}

// A folder of this process under $TMPDIR (scripts/fuzz points that into the build folder).
inline QString scratchFolder()
{
    static const QString folder = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/vtx-fuzz-%1").arg(::getpid());
        QDir().mkpath(path);
        return path;
    }();
    return folder;
}

// A property that must hold whatever the input: report and stop, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

} // namespace fuzz
