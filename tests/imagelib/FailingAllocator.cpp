#include "tests/imagelib/FailingAllocator.h"

#include <cerrno>
#include <cstddef>

// The allocator underneath: the address sanitizer's when it is linked in, otherwise the C
// library's. Neither needs dlsym, which itself allocates.
extern "C" void* __interceptor_malloc(size_t size) __attribute__((weak));
extern "C" void* __interceptor_realloc(void* block, size_t size) __attribute__((weak));
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);

namespace {

thread_local long failAt = 0; // 0: neither count nor fail
thread_local long counted = 0;

bool FailsNow() {
    return failAt != 0 && ++counted == failAt;
}

} // namespace

void FailAllocation(long n) {
    counted = 0;
    failAt = n;
}

long StopFailingAllocations() {
    failAt = 0;
    return counted;
}

extern "C" void* malloc(size_t size) {
    if (FailsNow()) {
        errno = ENOMEM;
        return nullptr;
    }
    return __interceptor_malloc ? __interceptor_malloc(size) : __libc_malloc(size);
}

extern "C" void* realloc(void* block, size_t size) {
    if (FailsNow()) {
        errno = ENOMEM;
        return nullptr;
    }
    return __interceptor_realloc ? __interceptor_realloc(block, size) : __libc_realloc(block, size);
}
