// The history writer and reader together: any table of seven-cell rows written to its file reads back
// as the same rows and cells, line breaks, quotes, marks and NULs included.
#include "FuzzSupport.h"
#include "history/HistoryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Rows split at 0x1E, cells at 0x1F.
    QList<clipvane::PackedEntry> rows;
    for (const QByteArray& rowBytes : fuzz::bytesOf(data, size).split('\x1E')) {
        clipvane::HistoryEntry e;
        const QStringList cells = fuzz::textsOf(rowBytes, '\x1F');
        for (int c = 0; c < clipvane::kHistoryColumns && c < cells.size(); ++c)
            e.cells[std::size_t(c)] = cells[c];
        rows.append(e);
    }
    const QString path = fuzz::scratchFile(QStringLiteral("roundtrip.csv"));
    fuzz::writeFile(path, clipvane::encodeHistoryFile(rows));
    const clipvane::HistoryFileContent read = clipvane::ReadHistoryFile(path);
    FUZZ_CHECK(read.ok && !read.notText);
    FUZZ_CHECK(read.rows == rows);
    return 0;
}
