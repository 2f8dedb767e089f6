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

// Two test vessels with a dock each, and one more that is made and deleted: every kind of handle a module can
// hand back to the host, given as another vessel's, as another kind, and as a dead record's, is one misuse
// naming the call, and changes nothing.
class HandleKinds : public TvWorld {
  protected:
    void SetUp() override {
        TvWorld::SetUp();
        a = oapiGetVesselInterface(Rec("TV1"));
        ASSERT_NE(a, nullptr);
        VESSELSTATUS2 st{};
        st.version = 2;
        a->GetStatusEx(&st);
        b = oapiGetVesselInterface(oapiCreateVesselEx("TV2", TV_CLASS, &st));
        VESSEL* gone = oapiGetVesselInterface(oapiCreateVesselEx("TV3", TV_CLASS, &st));
        ASSERT_TRUE(b && gone);
        for (VESSEL* v : {a, b, gone}) v->SetDockParams(_V(0, 2, 0), _V(0, 1, 0), _V(0, 0, 1));
        Vessel* dead = Rec("TV3");
        deadThruster = dead->thrusters[0].get();
        deadTank = dead->propellants[0].get();
        deadGroup = dead->groups[0].get();
        deadPoint = dead->attachments[0].get();
        deadDock = dead->docks[0].get();
        deadVessel = gone->GetHandle();
        oapiDeleteVessel(deadVessel);
        Sim().Frame();
        ASSERT_EQ(Rec("TV3"), nullptr);
    }

    // Each call is one misuse whose line names fn; the test ends with these counted.
    template <typename F> void ExpectMisuse(const char* fn, F call) {
        const int before = Sim().MisuseCount();
        const int lines = TimelineCount(fn);
        call();
        EXPECT_EQ(Sim().MisuseCount() - before, 1) << fn;
        EXPECT_GT(TimelineCount(fn), lines) << fn;
        expectedMisuse = Sim().MisuseCount();
    }

    VESSEL* a = nullptr;
    VESSEL* b = nullptr;
    void* deadThruster = nullptr;
    void* deadTank = nullptr;
    void* deadGroup = nullptr;
    void* deadPoint = nullptr;
    void* deadDock = nullptr;
    OBJHANDLE deadVessel = nullptr;
};

// Another vessel's tank is a tank: the host feeds a shuttle's engines from its external tank that way.
TEST_F(HandleKinds, PropellantHandles) {
    PROPELLANT_HANDLE own = a->GetPropellantHandleByIndex(0);
    a->SetPropellantMass(own, 1.0);
    for (void* bad : {(void*)Rec("TV1")->thrusters[0].get(), deadTank})
        ExpectMisuse("SetPropellantMass", [&] { a->SetPropellantMass(bad, 0.0); });
    EXPECT_DOUBLE_EQ(a->GetPropellantMass(own), 1.0);
    PROPELLANT_HANDLE other = b->GetPropellantHandleByIndex(0);
    a->SetPropellantMass(other, 2.0);
    EXPECT_DOUBLE_EQ(b->GetPropellantMass(other), 2.0);
    // Only the vessel that made a tank takes it away.
    ExpectMisuse("DelPropellantResource", [&] { a->DelPropellantResource(other); });
    EXPECT_EQ(b->GetPropellantCount(), 1u);
}

// A thruster fed from another vessel's tank burns that tank, and is cut off when the tank goes with its vessel.
TEST_F(HandleKinds, ThrusterFedFromAnotherVesselsTankStopsWhenThatVesselGoes) {
    THRUSTER_HANDLE th = Rec("TV1")->thrusters[0].get();
    PROPELLANT_HANDLE other = b->GetPropellantHandleByIndex(0);
    b->SetPropellantMass(other, b->GetPropellantMaxMass(other));
    const double full = b->GetPropellantMass(other);
    a->SetThrusterResource(th, other);
    a->SetThrusterLevel(th, 1.0);
    Sim().Frame();
    EXPECT_LT(b->GetPropellantMass(other), full);
    EXPECT_EQ(Rec("TV1")->thrusters[0]->res, other);
    oapiDeleteVessel(b->GetHandle());
    Sim().Frame();
    EXPECT_EQ(Rec("TV1")->thrusters[0]->res, nullptr);
    Sim().Frame(); // nothing reads the tank that went
    EXPECT_EQ(Sim().MisuseCount(), expectedMisuse);
}

TEST_F(HandleKinds, ThrusterHandles) {
    for (void* bad : {(void*)Rec("TV2")->thrusters[0].get(), (void*)a->GetPropellantHandleByIndex(0), deadThruster})
        ExpectMisuse("SetThrusterLevel", [&] { a->SetThrusterLevel(bad, 1.0); });
    EXPECT_DOUBLE_EQ(b->GetThrusterLevel(Rec("TV2")->thrusters[0].get()), 0.0);
}

TEST_F(HandleKinds, ThrusterGroupHandles) {
    for (void* bad : {(void*)Rec("TV2")->groups[0].get(), (void*)Rec("TV1")->thrusters[0].get(), deadGroup})
        ExpectMisuse("SetThrusterGroupLevel", [&] { a->SetThrusterGroupLevel(bad, 1.0); });
    EXPECT_DOUBLE_EQ(b->GetThrusterGroupLevel(Rec("TV2")->groups[0].get()), 0.0);
}

TEST_F(HandleKinds, AttachmentHandles) {
    for (void* bad : {(void*)b->GetAttachmentHandle(true, 0), (void*)a->GetDockHandle(0),
                      (void*)Rec("TV1")->thrusters[0].get(), deadPoint})
        ExpectMisuse("GetAttachmentStatus", [&] { EXPECT_EQ(a->GetAttachmentStatus(bad), nullptr); });
}

TEST_F(HandleKinds, DockHandles) {
    for (void* bad : {(void*)b->GetDockHandle(0), (void*)a->GetAttachmentHandle(true, 0), deadDock})
        ExpectMisuse("GetDockStatus", [&] { EXPECT_EQ(a->GetDockStatus(bad), nullptr); });
}

TEST_F(HandleKinds, AnimationComponentHandles) {
    static MGROUP_ROTATE turn(0, nullptr, 0, _V(0, 0, 0), _V(1, 0, 0), 1.0f);
    const UINT anim = a->CreateAnimation(0.0);
    ANIMATIONCOMPONENT_HANDLE foreign = Rec("TV2")->animations[0].components[0].get();
    for (void* bad : {(void*)foreign, (void*)Rec("TV1")->thrusters[0].get()})
        ExpectMisuse("AddAnimationComponent", [&] { a->AddAnimationComponent(anim, 0.0, 1.0, &turn, bad); });
}

TEST_F(HandleKinds, VesselIndicesEndAtTheCount) {
    const int count = static_cast<int>(oapiGetVesselCount());
    EXPECT_NE(oapiGetVesselByIndex(count - 1), nullptr);
    EXPECT_EQ(oapiGetVesselByIndex(count), nullptr);
    EXPECT_EQ(oapiGetVesselByIndex(-1), nullptr);
}

TEST_F(HandleKinds, VesselHandles) {
    EXPECT_FALSE(oapiIsVessel(reinterpret_cast<OBJHANDLE>(Rec("TV1")->thrusters[0].get()))); // no misuse
    for (OBJHANDLE bad : {deadVessel, reinterpret_cast<OBJHANDLE>(Rec("TV1")->thrusters[0].get())})
        ExpectMisuse("oapiSetEmptyMass", [&] { oapiSetEmptyMass(bad, 1.0); });
}

TEST_F(HandleKinds, FileHandlesCaughtOnceClosedOrOfAnotherKind) {
    const std::string path = "Handles-closed.txt";
    FILEHANDLE closed = oapiOpenFile(path.c_str(), FILE_OUT, ROOT);
    ASSERT_NE(closed, nullptr);
    oapiCloseFile(closed, FILE_OUT);
    // A file opened now must not take the lines meant for the one closed, wherever its record lies.
    FILEHANDLE open = oapiOpenFile("Handles-open.txt", FILE_OUT, ROOT);
    ASSERT_NE(open, nullptr);
    double onTheStack = 0.0;
    for (void* bad : {closed, (void*)Rec("TV1")->thrusters[0].get(), (void*)&onTheStack})
        ExpectMisuse("oapiWriteLine", [&] { oapiWriteLine(bad, (char*)"stray"); });
    oapiCloseFile(open, FILE_OUT);
    EXPECT_EQ(root.Read("Handles-open.txt"), "");
    std::remove((root.Path() + "/Handles-closed.txt").c_str());
    std::remove((root.Path() + "/Handles-open.txt").c_str());
}

TEST_F(HandleKinds, GlobalMeshHandles) {
    MESHHANDLE mesh = oapiLoadMeshGlobal("Test\\TestMesh");
    ASSERT_NE(mesh, nullptr);
    EXPECT_NE(a->AddMesh(mesh), (UINT)-1);
    ExpectMisuse("AddMesh", [&] { a->AddMesh(static_cast<MESHHANDLE>(Rec("TV1")->thrusters[0].get())); });
}

// Asking whether it is a vessel is no misuse; using it is.
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
    EXPECT_EQ(Sim().MisuseCount(), 0);
    EXPECT_EQ(oapiGetVesselInterface(h), nullptr);
    EXPECT_DOUBLE_EQ(oapiGetPropellantMass(th), 0.0); // a thruster is no tank, dead or alive
    EXPECT_EQ(Sim().MisuseCount(), 2);
    expectedMisuse = 2;
}

} // namespace
} // namespace hs::test
