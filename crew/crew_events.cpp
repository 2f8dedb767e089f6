// The vessel's side of the crew: arrivals, the airlock following the canopies, crashes, EVA and the add-crew
// dialog.
#include "../core/corvane.h"
#include "crew_rules.h"
#include "crew_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double CREW_MESSAGE_SECONDS = 15.0;
constexpr int DIALOG_BOX_WIDTH = 30; // characters shown in the input boxes
constexpr int NEW_MEMBER_PULSE = 70;
constexpr int NEW_MEMBER_WEIGHT = 70; // kg

enum AddCrewStage : unsigned char {
    ADD_CREW_IDLE = 0,
    ADD_CREW_REQUESTED = 1,
    ADD_CREW_NAME_OPEN = 2,
    ADD_CREW_NAME_ENTERED = 3,
    ADD_CREW_AGE_OPEN = 4,
    ADD_CREW_AGE_ENTERED = 5,
    ADD_CREW_FUNCTION_OPEN = 6,
    ADD_CREW_FUNCTION_ENTERED = 7,
};

// The dialog block: stage, a spare byte, then the name, age and function texts. Each open box fills its text.
struct DialogField {
    unsigned char openStage, enteredStage;
    size_t offset, size; // bytes from the stage byte
};

constexpr DialogField DIALOG_FIELDS[] = {
    {ADD_CREW_NAME_OPEN, ADD_CREW_NAME_ENTERED, offsetof(AddCrewDialog, addCrewName),
     sizeof(AddCrewDialog::addCrewName)},
    {ADD_CREW_AGE_OPEN, ADD_CREW_AGE_ENTERED, offsetof(AddCrewDialog, addCrewAge),
     sizeof(AddCrewDialog::addCrewAge)},
    {ADD_CREW_FUNCTION_OPEN, ADD_CREW_FUNCTION_ENTERED, offsetof(AddCrewDialog, addCrewFunction),
     sizeof(AddCrewDialog::addCrewFunction)},
};

struct EvaMessage {
    int result;
    const char* text; // %s, when present, is the name of the member who left
};

constexpr EvaMessage EVA_MESSAGES[] = {
    {2, "Transfer to docked ship Ok - %s transfered"},
    {1, "EVA OK - %s left the ship"},
    {0, "Error, no one on board, unable to EVA"},
    {-1, "Error, Canopy is closed, unable to EVA"},
    {-2, "Error, docked ship's airlock is closed, unable to transfer"},
    {-3, "Error, docked ship is already full transfer failed"},
    {-4, "Error, no crew member in that seat"},
    {-5, "Error, docked ship do not use UMmu 2.0, ask author to add it"},
    {-6, "Misc error with UMMU install it again"},
    {EVA_TRANSFER_PENDING, "Error, another transfer is still pending, unable to transfer"},
    {EVA_RECEIVER_NAME_UNUSABLE, "Error, docked ship's name has a space or is too long, unable to transfer"},
};

} // namespace

void Corvane::UpdateCrewEvents() {
    // Arrivals.
    int arrived = crew.PollAirlock();
    if (arrived == 1 || arrived == 2) {
        const char* n = crew.GetLastEnteredName();
        snprintf(hudMessage, sizeof hudMessage,
                 arrived == 1 ? "%s \"%s\" aged %i entered into our ship"
                              : "%s \"%s\" aged %i was transfered to our ship",
                 crew.GetMemberFunction(n), n, crew.GetMemberAge(n));
        hudMessageTimer = CREW_MESSAGE_SECONDS;
        UpdateCockpitMeshVisibility();
    } else if (arrived == POLL_SHIP_FULL) {
        snprintf(hudMessage, sizeof hudMessage, "Error, our ship is full, %s stays outside",
                 crew.GetLastRefusedName());
        hudMessageTimer = CREW_MESSAGE_SECONDS;
    }

    // Only a fully open canopy lets its seat out.
    int open = 0;
    if (canopyPPos == 1.0) {
        evaSeat = 0;
        open = 1;
    } else if (canopyCPos == 1.0) {
        evaSeat = 1;
        open = 1;
    } else {
        evaSeat = -1;
    }
    crew.SetAirlockOpen(open);

    if (GroundContact()) {
        VECTOR3 airspeed;
        GetHorizonAirspeedVector(airspeed);
        if (IsCrashLanding(airspeed.y, inertialDampeners)) {
            int count = crew.GetCrewCount();
            for (int i = 0; i < count; ++i)
                crew.SetMemberPulse(i, 0);
            snprintf(hudMessage, sizeof hudMessage, "%s", "Oooh no ! Crash - All crew aboard killed");
            hudMessageTimer = CREW_MESSAGE_SECONDS;
        }
    }

    crew.ShowVersionWarning("Corvane");

    switch (addCrewDialog.addCrewStage) {
    case ADD_CREW_REQUESTED:
        addCrewDialog.addCrewStage = ADD_CREW_NAME_OPEN;
        oapiOpenInputBox((char*)"Enter new crew's name (or escape)", CrewInputBoxCallback, 0,
                         DIALOG_BOX_WIDTH, &addCrewDialog);
        break;
    case ADD_CREW_NAME_ENTERED:
        addCrewDialog.addCrewStage = ADD_CREW_AGE_OPEN;
        oapiOpenInputBox((char*)"Enter crew's age", CrewInputBoxCallback, 0, DIALOG_BOX_WIDTH,
                         &addCrewDialog);
        break;
    case ADD_CREW_AGE_ENTERED:
        addCrewDialog.addCrewStage = ADD_CREW_FUNCTION_OPEN;
        oapiOpenInputBox((char*)"Enter function (Capt,Sec,Vip,Sci,Doc,Tech,Crew,Pax)", CrewInputBoxCallback,
                         0, DIALOG_BOX_WIDTH, &addCrewDialog);
        break;
    case ADD_CREW_FUNCTION_ENTERED: {
        addCrewDialog.addCrewStage = ADD_CREW_IDLE;
        addCrewDialog.addCrewName[sizeof addCrewDialog.addCrewName - 1] = '\0';
        addCrewDialog.addCrewAge[sizeof addCrewDialog.addCrewAge - 1] = '\0';
        addCrewDialog.addCrewFunction[sizeof addCrewDialog.addCrewFunction - 1] = '\0';
        int age = DialogAge(addCrewDialog.addCrewAge);
        int ok = crew.AddMember(addCrewDialog.addCrewName, age, NEW_MEMBER_PULSE, NEW_MEMBER_WEIGHT,
                                addCrewDialog.addCrewFunction);
        hudMessageTimer = CREW_MESSAGE_SECONDS;
        if (ok == 1) {
            snprintf(hudMessage, sizeof hudMessage, "Crew \"%s\" aged %i added to vessel",
                     addCrewDialog.addCrewName, age);
            UpdateCockpitMeshVisibility();
        } else {
            snprintf(hudMessage, sizeof hudMessage, "%s", "ERROR: Crew not added (vessel full?)");
        }
        break;
    }
    default:
        break; // idle, or a box is open and waiting
    }
}

bool Corvane::CrewInputBoxCallback(void* /*id*/, InputBoxText str, void* usrdata) {
    if (!usrdata || !IsDialogTextAccepted(str)) return false;
    unsigned char* block = static_cast<unsigned char*>(usrdata);
    for (const DialogField& f : DIALOG_FIELDS) {
        if (block[0] != f.openStage) continue;
        crewtext::CopyCut(reinterpret_cast<char*>(block + f.offset), f.size, str, DIALOG_TEXT_MAX);
        block[0] = f.enteredStage;
        return true;
    }
    return true; // no box of the dialog is open: nothing to take
}

void Corvane::CrewEvaAction() {
    if (GroundContact())
        crew.SetEvaPlacement(0, -1.5, 3.0, 0, 0, 1.0);
    else
        crew.SetEvaPlacement(0, 0.5, 3.5, 0, 0, 1.0);
    if (evaSeat < 0) return;

    int r = crew.EvaMember(crew.GetMemberName(evaSeat));
    for (const EvaMessage& m : EVA_MESSAGES) {
        if (m.result != r) continue;
        hudMessageTimer = CREW_MESSAGE_SECONDS;
        if (r == 1 || r == 2)
            snprintf(hudMessage, sizeof hudMessage, m.text, crew.GetLastLeftName());
        else
            snprintf(hudMessage, sizeof hudMessage, "%s", m.text);
        break;
    }
    if (r == 1 || r == 2) evaSeat = 0;
}
