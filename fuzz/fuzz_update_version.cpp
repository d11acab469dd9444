// The update page's version rule: any body gives a version or nothing, never a fault. What it gives is
// part of the page's text, at most seven characters, and only where the page holds the marker line.
#include "FuzzSupport.h"
#include "core/TextCodec.h"
#include "update/UpdatePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body = fuzz::bytesOf(data, size);
    const QString version = clipvane::webVersionFromBody(body);
    if (version.isEmpty())
        return 0;
    const QString text = clipvane::decodeText(body).text;
    FUZZ_CHECK(text.contains(QLatin1String(clipvane::kVersionMarker)));
    FUZZ_CHECK(text.contains(version));
    FUZZ_CHECK(version.toUcs4().size() <= 7);
    // A character outside the BMP is kept whole.
    FUZZ_CHECK(!version.front().isLowSurrogate() && !version.back().isHighSurrogate());
    return 0;
}
