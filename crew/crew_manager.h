// The crew roster of one vessel and the airlock logic of the crew add-on's conventions.
#pragma once

#include "Orbitersdk.h"

#include <cstdint>

struct CrewMember {
    char name[40];
    int32_t age;
    int32_t pulse;
    double weight; // kg
    char functionCode[8];
};

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
    static void SanitiseCrewName(char* text);

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
};
