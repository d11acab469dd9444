// Interposes glibc's allocator: every call is passed to the real one and its usable size counted.
#include "HeapMeter.h"

#include <atomic>
#include <cerrno>
#include <malloc.h>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_peak{0};

void added(void* p) {
    if (!p)
        return;
    const std::size_t now = g_inUse.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    std::size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

void removed(void* p) {
    if (p)
        g_inUse.fetch_sub(malloc_usable_size(p));
}

} // namespace

namespace bench {
std::size_t HeapMeter::inUse() {
    return g_inUse.load();
}
std::size_t HeapMeter::peak() {
    return g_peak.load();
}
void HeapMeter::resetPeak() {
    g_peak.store(g_inUse.load());
}
} // namespace bench

extern "C" {

void* malloc(std::size_t n) {
    void* p = __libc_malloc(n);
    added(p);
    return p;
}

void* calloc(std::size_t n, std::size_t size) {
    void* p = __libc_calloc(n, size);
    added(p);
    return p;
}

void* realloc(void* old, std::size_t n) {
    const std::size_t before = old ? malloc_usable_size(old) : 0;
    void* p = __libc_realloc(old, n);
    if (p) {
        g_inUse.fetch_sub(before);
        added(p);
    } else if (n == 0) {
        g_inUse.fetch_sub(before);
    }
    return p;
}

void free(void* p) {
    removed(p);
    __libc_free(p);
}

void* memalign(std::size_t alignment, std::size_t n) {
    void* p = __libc_memalign(alignment, n);
    added(p);
    return p;
}

void* aligned_alloc(std::size_t alignment, std::size_t n) {
    return memalign(alignment, n);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t n) {
    void* p = memalign(alignment, n);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}

} // extern "C"
