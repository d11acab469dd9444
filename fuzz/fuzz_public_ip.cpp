// The public-IP echo service's reply: any body gives an address or nothing, never a fault. The body is
// taken as ASCII: without JSON escapes, so is the address.
#include "FuzzSupport.h"
#include "sysinfo/NetworkAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body = fuzz::bytesOf(data, size);
    const QString ip = clipvane::publicIpFromReply(body);
    if (!body.contains("\\u"))
        for (QChar c : ip)
            FUZZ_CHECK(c.unicode() < 0x80);
    return 0;
}
