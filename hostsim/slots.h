// Records whose addresses the host hands out as handles: vessels, and the thrusters, tanks, groups, points and
// the rest a vessel makes. Each kind lives in one stretch of address space, reserved at its first use, in slots
// of one size with a small header in front of the record. So telling a live record of the kind from
// anything else a module may pass (a dead record, another kind's, a foreign address) is an address test and
// one load, however many records there are, and never reads memory that is not ours.
//
// A freed slot waits behind the others freed before it (first freed, first used again) and no slot is used
// again before SLOT_QUARANTINE others are free: a handle kept past its record's end is still caught as dead
// until that many records of the kind have gone after it. The memory stays bounded by the most records alive
// at once plus that quarantine.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#define HS_SLOT_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define HS_SLOT_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#define HS_SLOT_ROOT(p, n) __lsan_register_root_region(p, n)
#define HS_SLOT_UNROOT(p, n) __lsan_unregister_root_region(p, n)
#else
#define HS_SLOT_POISON(p, n) ((void)(p), (void)(n))
#define HS_SLOT_UNPOISON(p, n) ((void)(p), (void)(n))
#define HS_SLOT_ROOT(p, n) ((void)(p), (void)(n))
#define HS_SLOT_UNROOT(p, n) ((void)(p), (void)(n))
#endif

class Vessel;

namespace hs {

constexpr size_t SLOT_QUARANTINE = 1024;
constexpr uintptr_t SLOT_SEAL = 0x5a3c96e1d2b4780fu;
// Address space is reserved, not memory: only slots in use (and the quarantine) take memory.
constexpr size_t SLOT_CAPACITY = size_t(1) << 20;
constexpr size_t VESSEL_SLOT_CAPACITY = size_t(1) << 16;
constexpr size_t SLOT_COMMIT_STEP = size_t(1) << 16; // bytes made usable at a time

// Slots take whole cache lines, an odd number of them once a slot is four lines or more: records a
// power-of-two apart would all fall into the same few cache sets, and a scan over many vessels would miss the
// cache on every one.
constexpr size_t SLOT_LINE = 64;
constexpr size_t SlotStride(size_t n) {
    const size_t lines = (n + SLOT_LINE - 1) / SLOT_LINE;
    return (lines >= 4 && lines % 2 == 0 ? lines + 1 : lines) * SLOT_LINE;
}

template <typename T> class SlotPool {
  public:
    // The seal, the word just before the record, is the record's own address mixed with SLOT_SEAL while the
    // record lives and 0 once it has gone: one load and one compare tell a live record from anything else
    // inside the stretch, and no data a record holds is likely to look like a seal.
    struct Header {
        const void* owner; // the vessel that made the record; null for a vessel
        uintptr_t seal;
    };
    static constexpr size_t RECORD = sizeof(Header); // the record's place in its slot
    static constexpr size_t STRIDE = SlotStride(RECORD + sizeof(T));
    static_assert(alignof(T) <= alignof(Header), "a record must not need more alignment than its header gives");

    constexpr explicit SlotPool(size_t capacity) : capacity_(capacity) {}
    SlotPool(const SlotPool&) = delete;
    SlotPool& operator=(const SlotPool&) = delete;
    // The process's pools go after every world (they were made before any); a pool of a test goes with it.
    ~SlotPool() {
        free(ringBuf_);
        if (!base_) return;
        for (size_t off = 0; off < committed_; off += SLOT_COMMIT_STEP)
            HS_SLOT_UNROOT(reinterpret_cast<void*>(base_ + off), std::min(SLOT_COMMIT_STEP, committed_ - off));
        munmap(reinterpret_cast<void*>(base_), capacity_ * STRIDE);
    }

    // A new record in a slot of its own; null once the kind's address space is used up.
    template <typename... A> T* New(const void* owner, A&&... args) {
        size_t index;
        if (!TakeSlot(index)) return nullptr;
        unsigned char* slot = reinterpret_cast<unsigned char*>(base_) + index * STRIDE;
        Header* h = reinterpret_cast<Header*>(slot);
        h->owner = owner;
        HS_SLOT_UNPOISON(slot + RECORD, sizeof(T));
        T* rec = new (slot + RECORD) T(std::forward<A>(args)...);
        h->seal = reinterpret_cast<uintptr_t>(rec) ^ SLOT_SEAL;
        ++alive_;
        return rec;
    }

    void Delete(T* rec) {
        if (!rec) return;
        Header* h = HeaderOf(rec);
        h->seal = 0;
        rec->~T();
        HS_SLOT_POISON(rec, sizeof(T));
        --alive_;
        PushFree(static_cast<size_t>((reinterpret_cast<uintptr_t>(h) - base_) / STRIDE));
    }

    // The live record at address p, or null. The word before p is ours to read once p lies within the slots
    // handed out (a pointer into a record that has gone may point at poisoned memory: not a fault here).
    __attribute__((no_sanitize("address"))) T* Find(const void* p) const {
        const uintptr_t a = reinterpret_cast<uintptr_t>(p);
        if (a - first_ >= span_) return nullptr;
        uintptr_t seal; // p may be any address: read the word without assuming it aligned
        memcpy(&seal, reinterpret_cast<const void*>(a - sizeof seal), sizeof seal);
        return seal == (a ^ SLOT_SEAL) ? static_cast<T*>(const_cast<void*>(p)) : nullptr;
    }

    bool IsLive(const T* rec) const { return Find(rec) != nullptr; }
    static const void* OwnerOf(const T* rec) { return HeaderOf(rec)->owner; }
    size_t Alive() const { return alive_; }
    size_t Capacity() const { return capacity_; }

  private:
    static Header* HeaderOf(const T* rec) {
        return reinterpret_cast<Header*>(reinterpret_cast<uintptr_t>(rec) - RECORD);
    }

    bool Reserve() {
        for (size_t cap = capacity_; cap >= 1024; cap /= 2) {
            void* p = mmap(nullptr, cap * STRIDE, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
            if (p == MAP_FAILED) continue;
            base_ = reinterpret_cast<uintptr_t>(p);
            capacity_ = cap;
            return true;
        }
        return false;
    }

    // Makes the slots up to and including `index` usable, a step at a time (the unit the destructor hands back).
    bool Commit(size_t index) {
        const size_t need = (index + 1) * STRIDE, end = capacity_ * STRIDE;
        while (committed_ < need) {
            const size_t grow = std::min(SLOT_COMMIT_STEP, end - committed_);
            void* at = reinterpret_cast<void*>(base_ + committed_);
            if (mprotect(at, grow, PROT_READ | PROT_WRITE) != 0) return false;
            HS_SLOT_ROOT(at, grow); // the records hold the only pointers to some of the heap
            committed_ += grow;
        }
        return true;
    }

    bool TakeSlot(size_t& index) {
        if (!base_ && !Reserve()) return false;
        if (freeCount_ > SLOT_QUARANTINE || (fresh_ == capacity_ && freeCount_ > 0)) {
            index = ringBuf_[freeHead_];
            freeHead_ = (freeHead_ + 1) & (ringCap_ - 1);
            --freeCount_;
            return true;
        }
        if (fresh_ == capacity_ || !Commit(fresh_)) return false;
        index = fresh_++;
        first_ = base_ + RECORD;
        span_ = fresh_ * STRIDE - RECORD;
        return true;
    }

    // The free slots in the order they were freed, in a ring that doubles when full.
    void PushFree(size_t index) {
        if (freeCount_ == ringCap_) {
            const size_t cap = ringCap_ ? ringCap_ * 2 : 64;
            uint32_t* grown = static_cast<uint32_t*>(malloc(cap * sizeof(uint32_t)));
            if (!grown) return; // the slot is lost to reuse, nothing else
            for (size_t i = 0; i < freeCount_; ++i) grown[i] = ringBuf_[(freeHead_ + i) & (ringCap_ - 1)];
            free(ringBuf_);
            ringBuf_ = grown;
            ringCap_ = cap;
            freeHead_ = 0;
        }
        ringBuf_[(freeHead_ + freeCount_) & (ringCap_ - 1)] = static_cast<uint32_t>(index);
        ++freeCount_;
    }

    uintptr_t base_ = 0;
    size_t capacity_;
    size_t committed_ = 0; // bytes made usable
    size_t fresh_ = 0;     // slots handed out at least once
    uintptr_t first_ = 0;  // the first record's address
    size_t span_ = 0;      // from there to the end of the slots handed out
    size_t alive_ = 0;
    uint32_t* ringBuf_ = nullptr;
    size_t ringCap_ = 0, freeHead_ = 0, freeCount_ = 0;
};

template <typename T> struct SlotCapacity {
    static constexpr size_t value = SLOT_CAPACITY;
};
template <> struct SlotCapacity<::Vessel> {
    static constexpr size_t value = VESSEL_SLOT_CAPACITY;
};

// The one pool of each kind, alive for the whole process (records outlive any one world). The library's own
// code, which checks a handle on nearly every host call, reaches its pools directly; code outside the library
// (tests, programs) through SlotsOf.
template <typename T> SlotPool<T>& SlotsOf();
#ifdef HOSTSIM_LIBRARY
template <typename T> __attribute__((visibility("hidden"))) SlotPool<T> hsSlots{SlotCapacity<T>::value};
template <typename T> static inline SlotPool<T>& Slots() { return hsSlots<T>; }
#else
template <typename T> static inline SlotPool<T>& Slots() { return SlotsOf<T>(); }
#endif

template <typename T> struct SlotDelete {
    void operator()(T* rec) const { Slots<T>().Delete(rec); }
};
template <typename T> using SlotPtr = std::unique_ptr<T, SlotDelete<T>>;

// As make_unique: a kind whose address space is used up fails as memory that has run out does.
template <typename T, typename... A> SlotPtr<T> MakeSlot(const void* owner, A&&... args) {
    T* rec = Slots<T>().New(owner, std::forward<A>(args)...);
    if (!rec) throw std::bad_alloc();
    return SlotPtr<T>(rec);
}

// The live record of kind T at h that `owner` made; null for anything else.
template <typename T> T* Owned(const void* owner, const void* h) {
    T* rec = Slots<T>().Find(h);
    return rec && SlotPool<T>::OwnerOf(rec) == owner ? rec : nullptr;
}

} // namespace hs
