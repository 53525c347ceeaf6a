#pragma once

#include <cstddef>
#include <new>
#include <vector>

// Whole cache lines for the spectrum's buffers: a 64-byte vector load or store that
// straddles two lines costs twice one that does not.
constexpr std::size_t CacheLine = 64;

template <class T>
struct CacheLineAllocator {
    using value_type = T;
    CacheLineAllocator() = default;
    template <class U>
    CacheLineAllocator(const CacheLineAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t(CacheLine))); }
    void deallocate(T* p, std::size_t) { ::operator delete(p, std::align_val_t(CacheLine)); }
    friend bool operator==(CacheLineAllocator, CacheLineAllocator) { return true; }
};

template <class T>
using AlignedVector = std::vector<T, CacheLineAllocator<T>>;
