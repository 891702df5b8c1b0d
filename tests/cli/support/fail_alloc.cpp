// Preloaded into tarkemo-cli by the out-of-memory tests: once the program has made
// TARKEMO_FAIL_ALLOC_AFTER allocations, every further one fails as on a machine without memory.
// Without the variable, and in any other program (timeout, the shell), nothing changes.
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<long> gLeft{-2};  // -2: not read yet; -1: never fail

// getenv and readlink do not allocate.
long AllocationsAllowed() {
    const char* text = std::getenv("TARKEMO_FAIL_ALLOC_AFTER");
    if (!text) return -1;
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return -1;
    exe[length] = '\0';
    const char* name = std::strrchr(exe, '/');
    if (std::strcmp(name ? name + 1 : exe, "tarkemo-cli") != 0) return -1;
    return std::strtol(text, nullptr, 10);
}

bool Fails() {
    long left = gLeft.load();
    if (left == -2) gLeft.store(AllocationsAllowed());
    for (left = gLeft.load(); left > 0;) {
        if (gLeft.compare_exchange_weak(left, left - 1)) return false;
    }
    return left == 0;
}

}  // namespace

extern "C" {

void* malloc(size_t size) {
    if (Fails()) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    if (Fails()) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_calloc(count, size);
}

void* realloc(void* p, size_t size) {
    if (Fails()) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_realloc(p, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    if (Fails()) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
    if (Fails()) return ENOMEM;
    void* p = __libc_memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}

}  // extern "C"
