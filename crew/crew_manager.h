// The crew roster of one vessel and the airlock logic of the crew add-on's conventions.
#pragma once

#include "Orbitersdk.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int MAX_CREW_SEATS = 100;          // the seat count never exceeds this
constexpr int CREW_NAME_CUT = 25;            // characters of a name that are stored
constexpr int CREW_CODE_CUT = 4;             // characters of a function code that are stored
constexpr int MAX_ID_CONFIG_ROWS = 255;      // rows of the function-code table
constexpr int ID_SCAN_ROW_LIMIT = 253;       // the ID-file scan stops at this row count
constexpr int AIRLOCK_SLOT_COUNT = 100;      // process-wide airlock slots; later vessels share the last
constexpr double AIRLOCK_SCAN_PERIOD = 0.25; // s of simulation time between two airlock scans
constexpr double NOTICE_DURATION = 20.0;     // s of system time the add-on notice runs
constexpr size_t CREW_RECORD_SIZE = 104;     // bytes of one crew transfer record on disk
constexpr double ADDON_MIN_VERSION = 2.0;    // older add-ons get the notice

// Results of CrewManager::EvaMember beside 2 (transferred) down to -6 (any other failure).
constexpr int EVA_TRANSFER_PENDING = -7;       // another transfer record still waits for its receiver
constexpr int EVA_RECEIVER_NAME_UNUSABLE = -8; // the docked vessel's name can never match a transfer vessel
// Result of CrewManager::PollAirlock beside 2, 1, 0 and -1: a member stands in the airlock of a full ship and
// stays outside.
constexpr int POLL_SHIP_FULL = -2;

// Files of the crew add-on, relative to the host's working directory.
constexpr const char* CREW_EVA_RECORD_FILE = "config\\UMmutmp.cfg";
constexpr const char* CREW_TRANSFER_RECORD_FILE = "config\\UMmutmpT.cfg";
constexpr const char* CREW_ID_FILE_PATTERN = "config\\UMMUIdConfig\\*.cfg";
constexpr const char* ADDON_VERSION_FILE = "meshes\\UMmu\\ver.dtf";
constexpr const char* ADDON_MODULE_FILE = "modules\\UMmu.dll";
constexpr const char* ADDON_DOWNLOAD_ADDRESS = "http://www.orbithangar.com";

struct CrewMember {
    char name[40];
    int32_t age;
    int32_t pulse;
    double weight; // kg
    char functionCode[8];
};

// One row of the function-code table: which mesh the add-on shows for a member of a function.
struct IdConfigRow {
    char code[5];
    char profession[25];
    char meshName[25];
};

struct IdConfigTable {
    IdConfigRow rows[MAX_ID_CONFIG_ROWS];
    int rowCount;
};

// The record the add-on and the receiving vessels read, in memory; on disk it is 104 little-endian bytes.
struct CrewTransferRecord {
    char vesselName[40]; // "UMmu_" + member id
    char meshName[40];   // filled for EVA only
    int32_t age;
    int32_t pulse;
    int32_t reserve;
    int32_t weight; // kg
    int32_t spare[2];
};

// One process-wide airlock record per vessel: what the vessel publishes and what its scans found.
struct AirlockSlot {
    int32_t dockPort;
    OBJHANDLE enteredVessel;
    VESSEL* ownerInterface;
    double scanTimer; // s
    OBJHANDLE ownerHandle;
    ATTACHMENTHANDLE airlockAttachment;
    int32_t airlockDefined;
    int32_t airlockState;
    float airlockBox[6]; // xMin, xMax, yMin, yMax, zMin, zMax, m, vessel frame
    char enteredName[40];
    int32_t enteredAge, enteredPulse, enteredWeight;
    int32_t publishedParam;
    int32_t freeSeats;

    int Reset(OBJHANDLE handle);
    int Publish(int state, int param, int seats);
    int ScanForEnteringCrew();
    int GetDockedFreeSeats() const;
    int SpawnCrewVessel(const char* id, int age, int reserve, int pulse, int weight, const char* mesh,
                        const VECTOR3& position, const VECTOR3* rotation, const VECTOR3* extraVelocity);
};

// Process-wide crew state, shared by every vessel of the module.
extern AirlockSlot airlockSlots[AIRLOCK_SLOT_COUNT];
extern int nextSlotIndex;
extern IdConfigTable idConfigTable;
extern CrewTransferRecord crewRecordBuffer;

// Pure helpers: no host needed.
void PackCrewTransferRecord(const CrewTransferRecord& rec, unsigned char out[CREW_RECORD_SIZE]);
void UnpackCrewTransferRecord(const unsigned char in[CREW_RECORD_SIZE], CrewTransferRecord& rec);
// The "UMMUCREW" value of one member (spaces as underscores); returns the length written.
int FormatCrewLine(const CrewMember& m, char* out, size_t outSize);
// Parses one scenario line into a record; 1 when it is a valid crew line.
int ParseCrewLine(const char* line, CrewMember& out);
// Parses one ID file name into a table row; false when the name does not follow the scheme.
bool ParseIdConfigFileName(const char* fileName, IdConfigRow& row);
void ResetIdConfigTable(IdConfigTable& table);
void AppendBuiltInIdRows(IdConfigTable& table);
// "%s-%s" of code and name, or the name alone when the code is empty.
void BuildMemberId(const CrewMember& m, char* out, size_t outSize);
// The rotation matrix M·X(a)·Y(b)·Z(c).
MATRIX3 ComposeEvaRotation(const MATRIX3& m, const VECTOR3& angles);
// The add-on notice for system time t; empty when the line is to be blanked. Returns false when the
// notice is over (the caller ends it for good).
bool FormatVersionNotice(const char* className, double t, double noticeUntil, int outdated, char* out,
                         size_t outSize);

class CrewManager {
  public:
    // Roster
    int AddMember(const char* name, int age, int pulse, int weight, const char* functionCode);
    int RemoveMember(const char* name);
    int GetCrewCount() const;
    const char* GetMemberName(int seat) const;
    int SetMemberPulse(int seat, int value);
    int GetMemberAge(const char* name) const;
    const char* GetMemberFunction(const char* name) const;
    const char* GetLastEnteredName() const;
    const char* GetLastLeftName() const;
    const char* GetLastRefusedName() const; // the member a full ship last left outside
    static void SanitiseCrewName(char* text);
    // Cuts a function code at its first '-' and turns what a scenario line or a vessel name cannot carry into
    // '_'.
    static void NormaliseFunctionCode(char* code);
    static void LoadIdConfigTable();
    static const char* SelectEvaMesh(const char* functionCode);

    // Scenario lines
    int SaveCrew(FILEHANDLE scn);
    int LoadCrewLine(const char* line);

    // Start-up and airlock publication
    int Initialise(OBJHANDLE vessel);
    int DefineAirlock(int state, float xMin, float xMax, float yMin, float yMax, float zMin, float zMax);
    int SetEvaPlacement(double px, double py, double pz, double rx, double ry, double rz);
    int SetSeatCount(int n);
    int SetAirlockOpen(int state);
    void ShowVersionWarning(const char* className);
    static double ReadAddonVersion();
    static int IsAddonInstalled();

    // EVA, transfer and return
    int EvaMember(const char* name);
    int PollAirlock();
    static void ApplyEvaRotation(const VECTOR3& rotation, OBJHANDLE vessel);

    bool IsReady() const { return readyFlags == 3; }
    // EVA and transfer need the crew add-on; the roster, its scenario lines and the airlock do not.
    bool HasAddon() const { return addonInstalled == 1; }
    AirlockSlot& Slot() const;

    // Fields, in this order; all zero until Initialise and DefineAirlock have run.
    CrewMember roster[102];
    int32_t readyFlags;
    int32_t crewCount;
    int32_t seatCount;
    double totalCrewMass; // kg
    int32_t loadedLines;
    int32_t airlockOpen;
    int32_t evaReserve;
    VECTOR3 evaPosition, evaRotation;
    char lastLeftName[50];
    char lastEnteredName[50];
    OBJHANDLE ownerVessel;
    int32_t slotIndex;
    double noticeUntil;
    int32_t noticeOutdated;
    int32_t addonInstalled;   // 1 when "modules\UMmu.dll" was there at Initialise
    char lastRefusedName[50]; // name of the member a full ship last left outside

  private:
    int FindSeat(const char* name) const;
    void PublishFreeSeats();
    void AddToEmptyMass(double kg);
};
