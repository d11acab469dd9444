// What the fuzz targets share: a property check that stops the run, inputs turned into text and files.
#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property is a finding: abort, so that libFuzzer (and the test driver) keep the input.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace fuzz {

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One file in a folder of the run's own, rewritten for every input.
inline QString scratchFile(const QString& name) {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/clipvane-fuzz-XXXXXX"));
    return dir.filePath(name);
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(bytes) == bytes.size());
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Texts made from bytes: valid UTF-8 decoding gives every character, never a lone surrogate.
inline QStringList textsOf(const QByteArray& bytes, char separator) {
    QStringList out;
    for (const QByteArray& piece : bytes.split(separator))
        out.append(QString::fromUtf8(piece));
    return out;
}

} // namespace fuzz
