// The history CSV reader, by line and by file: any bytes are read without a fault, one row a record, and
// the file reader gives the rows the record parser gives on the whole decoded text.
#include "FuzzSupport.h"
#include "core/TextCodec.h"
#include "history/HistoryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString text = clipvane::decodeText(bytes).text;
    (void)clipvane::parseHistoryLine(text);

    const QString path = fuzz::scratchFile(QStringLiteral("read.csv"));
    fuzz::writeFile(path, bytes);
    const clipvane::HistoryFileContent read = clipvane::ReadHistoryFile(path);
    FUZZ_CHECK(read.ok != read.notText);
    if (read.notText) {
        FUZZ_CHECK(bytes.contains('\0') && !clipvane::startsWithMark(bytes));
        return 0;
    }
    // Never more rows than lines.
    qsizetype lines = text.isEmpty() ? 0 : 1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++lines;
    FUZZ_CHECK(read.rows.size() <= lines);
    // A text of one record reads as the line parser reads it.
    if (read.rows.size() == 1 && !text.contains(u'\r') && !text.contains(u'\n'))
        FUZZ_CHECK(read.rows[0].unpacked() == clipvane::parseHistoryLine(text));
    return 0;
}
