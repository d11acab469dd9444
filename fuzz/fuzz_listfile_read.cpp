// The list file reader with its encoding detection: any bytes read through the one-buffer reader give the
// lines and encoding of decoding and splitting the whole file, however the buffer cuts them.
#include "FuzzSupport.h"
#include "core/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchFile(QStringLiteral("read.list"));
    fuzz::writeFile(path, bytes);

    const clipvane::DecodedText whole = clipvane::decodeText(bytes);
    const QStringList expected = clipvane::splitLines(whole.text);
    const clipvane::ListFileContent read = clipvane::ReadListFile(path);
    FUZZ_CHECK(read.ok);
    FUZZ_CHECK(read.lines == expected);
    FUZZ_CHECK(read.encoding == whole.encoding);
    // A buffer that cuts lines, marks and characters anywhere.
    const qsizetype chunk = 1 + (size > 0 ? data[0] % 7 : 0);
    const clipvane::ListFileContent small = clipvane::readListFileInChunks(path, chunk);
    FUZZ_CHECK(small.ok);
    FUZZ_CHECK(small.lines == expected);
    FUZZ_CHECK(small.encoding == whole.encoding);
    return 0;
}
