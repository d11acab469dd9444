// The public-IP echo service's reply: any body gives a valid address, "N/A" or nothing, never a fault;
// escapes included, nothing but printable ASCII reaches the status bar.
#include "FuzzSupport.h"
#include "sysinfo/NetworkAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body = fuzz::bytesOf(data, size);
    const QString ip = clipvane::publicIpFromReply(body);
    FUZZ_CHECK(ip.isEmpty() || ip == QLatin1String(clipvane::kNotAnAddress) || clipvane::isIpAddress(ip));
    for (QChar c : ip)
        FUZZ_CHECK(c.unicode() > 0x20 && c.unicode() < 0x7F);
    return 0;
}
