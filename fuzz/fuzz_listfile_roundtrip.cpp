// The list writer and reader together: whatever entries are written, in whichever encoding the list
// remembers, read back as the same entries.
#include "FuzzSupport.h"
#include "core/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto encoding = clipvane::TextEncoding(data[0] % 4);
    // Entries hold no line breaks: a line break separates them.
    QStringList entries = fuzz::textsOf(fuzz::bytesOf(data + 1, size - 1), '\n');
    for (QString& e : entries)
        e.remove(u'\r');
    const QString path = fuzz::scratchFile(QStringLiteral("roundtrip.list"));
    FUZZ_CHECK(clipvane::WriteListFile(path, entries, encoding).ok);
    const clipvane::ListFileContent read = clipvane::ReadListFile(path);
    FUZZ_CHECK(read.ok);
    FUZZ_CHECK(read.lines == entries);
    // A list keeps the encoding it read: written again, the file is the same.
    const QByteArray first = fuzz::readFile(path);
    FUZZ_CHECK(clipvane::WriteListFile(path, read.lines, read.encoding).ok);
    FUZZ_CHECK(fuzz::readFile(path) == first);
    return 0;
}
