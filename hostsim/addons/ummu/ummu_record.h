// What the UMmu stand-in knows of its member, and how it reads the ship's record file and its own scenario
// line.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t UMMU_RECORD_SIZE = 104; // bytes of the ship's record file

struct UMmuMember {
    char recordName[40]; // the record's name field, "UMmu_" and the member's id
    char mesh[40];
    int32_t age;
    int32_t pulse;
    int32_t reserve;
    int32_t weight; // kg
};

// Someone whose record could not be read: a plain adult.
UMmuMember DefaultUMmuMember();

// Decodes the 104 little-endian bytes of a record; false when size is not 104.
bool DecodeUMmuRecord(const unsigned char* bytes, size_t size, UMmuMember& out);

// Whether a record named recordName belongs to the vessel named vesselName: spaces of the record are
// underscores in vessel names, and the ship may have added a number to make the name unique.
bool UMmuRecordMatches(const char* recordName, const char* vesselName);

// The stand-in's scenario line "MEMBER <age> <pulse> <weight>"; false for other lines or bad values.
bool ParseUMmuMemberLine(const char* line, UMmuMember& member);
