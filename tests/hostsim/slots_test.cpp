// Records in slots: what a handle check accepts and refuses, the wait before a slot is used again, and the
// host's handles of every kind checked through it.
#include "slots.h"
#include "tv_world.h"

#include <set>
#include <vector>

namespace hs::test {
namespace {

struct Probe {
    double a = 1.0, b = 2.0, c = 3.0;
    Probe* self = nullptr; // a record may point into itself; no such word may pass for a seal
};

struct Other {
    double x = 0.0;
};

TEST(SlotPool, FindsLiveRecordsAndRefusesEverythingElse) {
    SlotPool<Probe> pool(4096);
    SlotPool<Other> others(4096);
    EXPECT_EQ(pool.Find(nullptr), nullptr) << "before the first record";
    Probe* p = pool.New(nullptr);
    Probe* q = pool.New(nullptr);
    Other* o = others.New(nullptr);
    ASSERT_NE(p, nullptr);
    ASSERT_NE(q, nullptr);
    p->self = p;
    EXPECT_EQ(pool.Find(p), p);
    EXPECT_EQ(pool.Find(q), q);
    Probe onStack;
    std::vector<Probe> onHeap(2);
    EXPECT_EQ(pool.Find(nullptr), nullptr);
    EXPECT_EQ(pool.Find(&onStack), nullptr);
    EXPECT_EQ(pool.Find(onHeap.data()), nullptr);
    EXPECT_EQ(pool.Find(o), nullptr) << "another kind's record";
    // Addresses inside the stretch that are not where a record starts, including just past a self-pointer.
    const char* base = reinterpret_cast<const char*>(p);
    for (size_t off = 1; off < SlotPool<Probe>::STRIDE; ++off)
        EXPECT_EQ(pool.Find(base + off), nullptr) << "offset " << off;
    EXPECT_EQ(pool.Find(reinterpret_cast<const char*>(q) + 64 * SlotPool<Probe>::STRIDE), nullptr)
        << "beyond the slots handed out";
    pool.Delete(p);
    EXPECT_EQ(pool.Find(p), nullptr) << "a record that has gone";
    EXPECT_EQ(pool.Find(q), q);
    EXPECT_EQ(pool.Alive(), 1u);
    pool.Delete(q);
    others.Delete(o);
}

TEST(SlotPool, OwnerOfARecordIsKept) {
    SlotPool<Probe> pool(4096);
    int ownerA = 0, ownerB = 0;
    Probe* a = pool.New(&ownerA);
    Probe* b = pool.New(&ownerB);
    EXPECT_EQ(SlotPool<Probe>::OwnerOf(a), &ownerA);
    EXPECT_EQ(SlotPool<Probe>::OwnerOf(b), &ownerB);
    pool.Delete(a);
    pool.Delete(b);
}

TEST(SlotPool, AFreedSlotWaitsBehindTheQuarantineAndMemoryStaysBounded) {
    SlotPool<Probe> pool(1 << 16);
    Probe* first = pool.New(nullptr);
    pool.Delete(first);
    std::set<const Probe*> seen{first};
    // One record at a time, as projectiles come and go: none takes the first one's slot until the quarantine
    // is full, so its handle stays dead all that while.
    for (size_t i = 0; i < SLOT_QUARANTINE; ++i) {
        Probe* p = pool.New(nullptr);
        ASSERT_NE(p, first) << "after " << i << " records";
        EXPECT_EQ(pool.Find(first), nullptr);
        seen.insert(p);
        pool.Delete(p);
    }
    for (size_t i = 0; i < 10 * SLOT_QUARANTINE; ++i) {
        Probe* p = pool.New(nullptr);
        seen.insert(p);
        pool.Delete(p);
    }
    EXPECT_LE(seen.size(), SLOT_QUARANTINE + 2) << "slots are used again once the quarantine is full";
}

TEST(SlotPool, AFullStretchRefusesRatherThanOverwrites) {
    SlotPool<Probe> pool(1024);
    std::vector<Probe*> all;
    for (Probe* p; (p = pool.New(nullptr));) all.push_back(p);
    EXPECT_EQ(all.size(), pool.Capacity());
    std::set<Probe*> distinct(all.begin(), all.end());
    EXPECT_EQ(distinct.size(), all.size());
    pool.Delete(all.back());
    EXPECT_EQ(pool.New(nullptr), all.back()) << "with no fresh slot left the quarantine gives way";
    for (Probe* p : all) pool.Delete(p);
}

class Handles : public TvWorld {};

TEST_F(Handles, EveryKindIsCheckedAgainstItsVesselAndItsKind) {
    VESSEL* a = oapiGetVesselInterface(Rec("TV1"));
    ASSERT_NE(a, nullptr);
    VESSELSTATUS2 st{};
    st.version = 2;
    a->GetStatusEx(&st);
    OBJHANDLE hb = oapiCreateVesselEx("TV2", TV_CLASS, &st);
    ASSERT_NE(hb, nullptr);
    VESSEL* b = oapiGetVesselInterface(hb);
    THRUSTER_HANDLE th = Rec("TV1")->thrusters[0].get();
    PROPELLANT_HANDLE ph = a->GetPropellantHandleByIndex(0);
    ASSERT_NE(th, nullptr);
    ASSERT_NE(ph, nullptr);
    const int before = Sim().MisuseCount();
    b->SetThrusterLevel(th, 1.0);       // another vessel's thruster
    a->GetPropellantMass(th);           // a thruster given as a tank
    a->GetThrusterLevel(ph);            // a tank given as a thruster
    a->GetAttachmentStatus(th);         // a thruster given as an attachment point
    EXPECT_FALSE(oapiIsVessel(static_cast<OBJHANDLE>(th))); // a thruster given as a vessel
    EXPECT_EQ(Sim().MisuseCount() - before, 4);
    EXPECT_DOUBLE_EQ(b->GetThrusterLevel(Rec("TV2")->thrusters[0].get()), 0.0);
    expectedMisuse = Sim().MisuseCount();
}

TEST_F(Handles, HandlesOfADeletedVesselStayDeadWhileThousandsComeAndGo) {
    OBJHANDLE h = Rec("TV1");
    VESSEL* v = oapiGetVesselInterface(h);
    THRUSTER_HANDLE th = Rec("TV1")->thrusters[0].get();
    VESSELSTATUS2 st{};
    st.version = 2;
    v->GetStatusEx(&st);
    oapiDeleteVessel(h);
    Sim().Frame();
    // As a barrage does: vessels made and deleted frame after frame.
    for (int i = 0; i < 1000; ++i) {
        OBJHANDLE n = oapiCreateVesselEx("b1", TV_CLASS, &st);
        ASSERT_NE(n, nullptr);
        ASSERT_NE(n, h);
        EXPECT_FALSE(oapiIsVessel(h));
        oapiDeleteVessel(n);
        Sim().Frame();
    }
    const int before = Sim().MisuseCount();
    EXPECT_EQ(oapiGetVesselInterface(h), nullptr);
    EXPECT_DOUBLE_EQ(oapiGetPropellantMass(th), 0.0); // a thruster is no tank, dead or alive
    EXPECT_EQ(Sim().MisuseCount() - before, 2);
    expectedMisuse = Sim().MisuseCount();
}

} // namespace
} // namespace hs::test
