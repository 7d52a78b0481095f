#include "test_utils/AllocationCounter.h"

#include <cstddef> // defines __GLIBC__ where it applies

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__) || ! defined(__GLIBC__)
#define VAZEZAV_COUNTING_AVAILABLE 0
#else
#define VAZEZAV_COUNTING_AVAILABLE 1
#endif

#if VAZEZAV_COUNTING_AVAILABLE
#include <cstddef>
#include <dlfcn.h>
#include <pthread.h>

namespace
{
thread_local int watching = 0;
thread_local int allocationCount = 0;
thread_local int lockCount = 0;

inline void noteAllocation() noexcept
{
    if (watching > 0)
        ++allocationCount;
}
} // namespace

// glibc lets a program replace its allocator; these forward to the real one.
extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);

    void* malloc (size_t size)
    {
        noteAllocation();
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size)
    {
        noteAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* p, size_t size)
    {
        noteAllocation();
        return __libc_realloc (p, size);
    }

    void* memalign (size_t alignment, size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size)
    {
        noteAllocation();
        *result = __libc_memalign (alignment, size);
        return *result == nullptr ? 12 /* ENOMEM */ : 0;
    }

    void free (void* p)
    {
        noteAllocation(); // releasing memory on the audio thread is just as bad
        __libc_free (p);
    }

    int pthread_mutex_lock (pthread_mutex_t* mutex)
    {
        using LockFn = int (*) (pthread_mutex_t*);
        static const auto real = reinterpret_cast<LockFn> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));

        if (watching > 0)
            ++lockCount;

        return real (mutex);
    }
}
#endif

namespace test
{

bool RealtimeWatch::isAvailable() noexcept { return VAZEZAV_COUNTING_AVAILABLE != 0; }

#if VAZEZAV_COUNTING_AVAILABLE
RealtimeWatch::RealtimeWatch() noexcept
{
    allocationCount = 0;
    lockCount = 0;
    ++watching;
}

RealtimeWatch::~RealtimeWatch() { --watching; }
int RealtimeWatch::allocations() const noexcept { return allocationCount; }
int RealtimeWatch::locks() const noexcept { return lockCount; }
#else
RealtimeWatch::RealtimeWatch() noexcept
{
}
RealtimeWatch::~RealtimeWatch() {}
int RealtimeWatch::allocations() const noexcept { return 0; }
int RealtimeWatch::locks() const noexcept { return 0; }
#endif

} // namespace test
