// Memory for large pictures. A picture of several megabytes is written all over as soon
// as it is made; asking the kernel for huge pages for it turns thousands of page faults
// into a few, which is most of the cost of making a large picture.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <new>

template <class T>
struct TPictureAllocator {
    using value_type = T;
    // From this size on, the memory is advised to use huge pages.
    static constexpr std::size_t kHugeFrom = std::size_t(4) << 20;
    static constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;

    TPictureAllocator() = default;
    template <class U>
    TPictureAllocator(const TPictureAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        void* p = ::operator new(bytes);
        if (bytes >= kHugeFrom) {
            const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
            const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHugePage - 1);
            if (end > begin)
                ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
        }
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { ::operator delete(p); }

    template <class U>
    bool operator==(const TPictureAllocator<U>&) const noexcept { return true; }
    template <class U>
    bool operator!=(const TPictureAllocator<U>&) const noexcept { return false; }
};
