// Records whose addresses the host hands out as handles: vessels, and the thrusters, tanks, groups, points and
// the rest a vessel makes. Each kind lives in one stretch of address space, reserved at its first use, in slots
// of a power-of-two size with a small header in front of the record. So telling a live record of the kind from
// anything else a module may pass (a dead record, another kind's, a foreign address) is an address test and
// one load, however many records there are, and never reads memory that is not ours.
//
// A freed slot waits behind the others freed before it (first freed, first used again) and no slot is used
// again before SLOT_QUARANTINE others are free: a handle kept past its record's end is still caught as dead
// until that many records of the kind have gone after it. The memory stays bounded by the most records alive
// at once plus that quarantine.
#pragma once

#include <sys/mman.h>

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
#else
#define HS_SLOT_POISON(p, n) ((void)(p), (void)(n))
#define HS_SLOT_UNPOISON(p, n) ((void)(p), (void)(n))
#define HS_SLOT_ROOT(p, n) ((void)(p), (void)(n))
#endif

class Vessel;

namespace hs {

constexpr size_t SLOT_QUARANTINE = 1024;
// Address space is reserved, not memory: only slots in use (and the quarantine) take memory.
constexpr size_t SLOT_CAPACITY = size_t(1) << 20;
constexpr size_t VESSEL_SLOT_CAPACITY = size_t(1) << 16;
constexpr size_t SLOT_COMMIT_STEP = size_t(1) << 16; // bytes made usable at a time

constexpr size_t CeilPow2(size_t n) {
    size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

template <typename T> class SlotPool {
  public:
    struct Header {
        const void* owner; // the vessel that made the record; null for a vessel
        uint64_t live;
    };
    static constexpr size_t ALIGN = alignof(T) > alignof(Header) ? alignof(T) : alignof(Header);
    static constexpr size_t RECORD = (sizeof(Header) + ALIGN - 1) / ALIGN * ALIGN; // the record's place in a slot
    static constexpr size_t STRIDE = CeilPow2(RECORD + sizeof(T));

    constexpr explicit SlotPool(size_t capacity) : capacity_(capacity) {}

    // A new record in a slot of its own; null once the kind's address space is used up.
    template <typename... A> T* New(const void* owner, A&&... args) {
        size_t index;
        if (!TakeSlot(index)) return nullptr;
        unsigned char* slot = reinterpret_cast<unsigned char*>(base_) + index * STRIDE;
        Header* h = reinterpret_cast<Header*>(slot);
        h->owner = owner;
        HS_SLOT_UNPOISON(slot + RECORD, sizeof(T));
        T* rec = new (slot + RECORD) T(std::forward<A>(args)...);
        h->live = 1;
        ++alive_;
        return rec;
    }

    void Delete(T* rec) {
        if (!rec) return;
        Header* h = HeaderOf(rec);
        h->live = 0;
        rec->~T();
        HS_SLOT_POISON(rec, sizeof(T));
        --alive_;
        PushFree(static_cast<size_t>((reinterpret_cast<uintptr_t>(h) - base_) / STRIDE));
    }

    // The live record at address p, or null.
    T* Find(const void* p) const {
        const uintptr_t off = reinterpret_cast<uintptr_t>(p) - base_;
        if (off >= used_ || (off & (STRIDE - 1)) != RECORD) return nullptr;
        const Header* h = reinterpret_cast<const Header*>(reinterpret_cast<uintptr_t>(p) - RECORD);
        return h->live ? static_cast<T*>(const_cast<void*>(p)) : nullptr;
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

    // Makes the slots up to and including `index` usable.
    bool Commit(size_t index) {
        const size_t need = (index + 1) * STRIDE;
        if (need <= committed_) return true;
        size_t grow = need - committed_;
        grow = (grow + SLOT_COMMIT_STEP - 1) / SLOT_COMMIT_STEP * SLOT_COMMIT_STEP;
        if (committed_ + grow > capacity_ * STRIDE) grow = capacity_ * STRIDE - committed_;
        void* at = reinterpret_cast<void*>(base_ + committed_);
        if (mprotect(at, grow, PROT_READ | PROT_WRITE) != 0) return false;
        HS_SLOT_ROOT(at, grow); // the records hold the only pointers to some of the heap
        committed_ += grow;
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
        used_ = fresh_ * STRIDE;
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
    size_t used_ = 0;      // fresh_ * STRIDE: the part of the stretch a record can be in
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

// The one pool of each kind, alive for the whole process (records outlive any one world).
template <typename T> SlotPool<T>& Slots() {
    static SlotPool<T> pool(SlotCapacity<T>::value);
    return pool;
}

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
