// The HTTP client as a module loaded on first use: libcurl and its TLS libraries stay out of the
// start-up path and out of memory until the first request.
#include "CurlHttpClient.h"

extern "C" Q_DECL_EXPORT clipvane::HttpClient* clipvaneCreateHttpClient() {
    return new clipvane::CurlHttpClient();
}

// The same with time-outs of the caller's choice (the command line's --timeout).
extern "C" Q_DECL_EXPORT clipvane::HttpClient*
clipvaneCreateHttpClientWithTimeouts(const clipvane::HttpTimeouts* timeouts) {
    return new clipvane::CurlHttpClient(timeouts ? *timeouts : clipvane::HttpTimeouts{});
}
