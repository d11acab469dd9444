// The host rules of a history entry: the host of a URL, its Domain column and the IPv4 lookup. Any text
// gives a host without a fault; the resolver is asked only for host names in their ASCII form.
#include "FuzzSupport.h"
#include "history/HostRules.h"
#include "platform/HostResolver.h"

namespace {

struct RecordingResolver final : clipvane::HostResolver {
    QString resolveIPv4(const QString& host) override {
        for (QChar c : host)
            FUZZ_CHECK(c.unicode() > 32 && c.unicode() < 0x7F);
        FUZZ_CHECK(host.size() <= 255);
        return QStringLiteral("192.0.2.1");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString url = QString::fromUtf8(fuzz::bytesOf(data, size));
    const QString host = clipvane::ExtractHost(url);
    FUZZ_CHECK(!host.contains(u'/'));
    FUZZ_CHECK(url.contains(QLatin1String("://")) || host.isEmpty());
    const QString domain = clipvane::DomainOfHost(host);
    FUZZ_CHECK(domain.size() <= host.size());
    RecordingResolver resolver;
    (void)clipvane::ResolveHostIPv4(host, resolver);
    return 0;
}
