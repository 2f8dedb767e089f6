// Placeholder bodies of the crew operations, so that the module links while the crew is being written.
#include "crew_manager.h"
#include "../core/corvane.h"

AirlockSlot airlockSlots[AIRLOCK_SLOT_COUNT];
int nextSlotIndex = 0;
IdConfigTable idConfigTable;
CrewTransferRecord crewRecordBuffer;

int AirlockSlot::Reset(OBJHANDLE) { return -1; }
int AirlockSlot::Publish(int, int, int) { return -1; }
int AirlockSlot::ScanForEnteringCrew() { return 0; }
int AirlockSlot::GetDockedFreeSeats() const { return -1; }
int AirlockSlot::SpawnCrewVessel(const char*, int, int, int, int, const char*, const VECTOR3&, const VECTOR3*,
                                 const VECTOR3*) {
    return -3;
}

void PackCrewTransferRecord(const CrewTransferRecord&, unsigned char*) {}
void UnpackCrewTransferRecord(const unsigned char*, CrewTransferRecord&) {}
int FormatCrewLine(const CrewMember&, char* out, size_t outSize) {
    if (outSize) out[0] = 0;
    return 0;
}
int ParseCrewLine(const char*, CrewMember&) { return 0; }
bool ParseIdConfigFileName(const char*, IdConfigRow&) { return false; }
void ResetIdConfigTable(IdConfigTable&) {}
void AppendBuiltInIdRows(IdConfigTable&) {}
void BuildMemberId(const CrewMember&, char* out, size_t outSize) {
    if (outSize) out[0] = 0;
}
MATRIX3 ComposeEvaRotation(const MATRIX3& m, const VECTOR3&) { return m; }
bool FormatVersionNotice(const char*, double, double, int, char* out, size_t outSize) {
    if (outSize) out[0] = 0;
    return false;
}
FILE* OpenHostFile(const char*, const char*) { return nullptr; }

int CrewManager::AddMember(const char*, int, int, int, const char*) { return 0; }
int CrewManager::RemoveMember(const char*) { return 0; }
int CrewManager::GetCrewCount() const { return 0; }
const char* CrewManager::GetMemberName(int) const { return ""; }
int CrewManager::SetMemberPulse(int, int) { return -1; }
int CrewManager::GetMemberAge(const char*) const { return -1; }
const char* CrewManager::GetMemberFunction(const char*) const { return ""; }
const char* CrewManager::GetLastEnteredName() const { return ""; }
const char* CrewManager::GetLastLeftName() const { return ""; }
void CrewManager::SanitiseCrewName(char*) {}
void CrewManager::LoadIdConfigTable() {}
const char* CrewManager::SelectEvaMesh(const char*) { return "ummu/ummu"; }
int CrewManager::SaveCrew(FILEHANDLE) { return 0; }
int CrewManager::LoadCrewLine(const char*) { return 0; }
int CrewManager::Initialise(OBJHANDLE) { return -1; }
int CrewManager::DefineAirlock(int, float, float, float, float, float, float) { return 0; }
int CrewManager::SetEvaPlacement(double, double, double, double, double, double) { return 0; }
int CrewManager::SetSeatCount(int) { return 0; }
int CrewManager::SetAirlockOpen(int) { return -1; }
void CrewManager::ShowVersionWarning(const char*) {}
double CrewManager::ReadAddonVersion() { return -1; }
int CrewManager::IsAddonInstalled() { return -999; }
int CrewManager::EvaMember(const char*) { return -6; }
int CrewManager::PollAirlock() { return -1; }
void CrewManager::ApplyEvaRotation(const VECTOR3&, OBJHANDLE) {}
int CrewManager::FindSeat(const char*) const { return -1; }
void CrewManager::PublishFreeSeats() {}
void CrewManager::AddToEmptyMass(double) {}

void Corvane::UpdateCrewEvents() {}
void Corvane::CrewEvaAction() {}
bool Corvane::CrewInputBoxCallback(void*, char*, void*) { return true; }
