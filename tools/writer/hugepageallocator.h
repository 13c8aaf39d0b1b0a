// CHugePageAllocator: the allocator of the posting writer's batches of keys,
// megabytes each, filled and sorted over and over. Arrays of a huge page or
// more are mapped from the kernel with a request to back them with huge pages,
// which saves most of the page faults and address-translation misses of
// walking them; smaller ones come from the heap. Stateless: any two compare
// equal, so the arrays can be swapped.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

template <typename T>
class CHugePageAllocator {
public:
    using value_type = T;

    CHugePageAllocator() = default;
    template <typename U>
    CHugePageAllocator(const CHugePageAllocator<U>&) {}

    T* allocate(size_t count) {
        if (count > SIZE_MAX / sizeof(T) - kHugePage) throw std::bad_array_new_length();
        if (count * sizeof(T) < kHugePage) return std::allocator<T>().allocate(count);
        const size_t bytes = MappedBytes(count);
        void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) throw std::bad_alloc();
        ::madvise(memory, bytes, MADV_HUGEPAGE);  // a request: refused, the pages stay small
        return static_cast<T*>(memory);
    }

    void deallocate(T* memory, size_t count) {
        if (count * sizeof(T) < kHugePage)
            std::allocator<T>().deallocate(memory, count);
        else
            ::munmap(memory, MappedBytes(count));
    }

    friend bool operator==(const CHugePageAllocator&, const CHugePageAllocator&) { return true; }

private:
    static constexpr size_t kHugePage = size_t(2) << 20;

    static size_t MappedBytes(size_t count) { return (count * sizeof(T) + kHugePage - 1) / kHugePage * kHugePage; }
};
