// Reading the ship's record file and the stand-in's own scenario line.
#include "ummu_record.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

int32_t LittleEndian32(const unsigned char* at) {
    uint32_t u = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                 static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
    return static_cast<int32_t>(u);
}

// The record's text fields: at most 39 bytes of the 40, whatever the file holds.
void CopyField(char* dst, const unsigned char* src) {
    size_t n = 0;
    while (n < 39 && src[n]) {
        dst[n] = static_cast<char>(src[n]);
        ++n;
    }
    dst[n] = '\0';
}

} // namespace

UMmuMember DefaultUMmuMember() {
    UMmuMember m{};
    snprintf(m.recordName, sizeof m.recordName, "%s", "UMmu_");
    snprintf(m.mesh, sizeof m.mesh, "%s", "ummu/ummu");
    m.age = 30;
    m.pulse = 70;
    m.reserve = 100;
    m.weight = 70;
    return m;
}

bool DecodeUMmuRecord(const unsigned char* bytes, size_t size, UMmuMember& out) {
    if (!bytes || size != UMMU_RECORD_SIZE) return false;
    UMmuMember m{};
    CopyField(m.recordName, bytes);
    CopyField(m.mesh, bytes + 40);
    m.age = LittleEndian32(bytes + 80);
    m.pulse = LittleEndian32(bytes + 84);
    m.reserve = LittleEndian32(bytes + 88);
    m.weight = LittleEndian32(bytes + 92);
    out = m;
    return true;
}

bool UMmuRecordMatches(const char* recordName, const char* vesselName) {
    if (!recordName || !vesselName || !recordName[0]) return false;
    size_t i = 0;
    for (; recordName[i]; ++i) {
        char want = recordName[i] == ' ' ? '_' : recordName[i];
        if (tolower(static_cast<unsigned char>(vesselName[i])) != tolower(static_cast<unsigned char>(want)))
            return false;
    }
    for (; vesselName[i]; ++i)
        if (!isdigit(static_cast<unsigned char>(vesselName[i]))) return false;
    return true;
}

bool ParseUMmuMemberLine(const char* line, UMmuMember& member) {
    if (!line) return false;
    int age = 0, pulse = 0, weight = 0;
    char key[8] = {};
    if (sscanf(line, "%7s %d %d %d", key, &age, &pulse, &weight) != 4) return false;
    for (char& c : key)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (strcmp(key, "MEMBER") != 0) return false;
    if (age < 0 || age > 200 || pulse < 0 || pulse > 300 || weight < 0 || weight > 1000) return false;
    member.age = age;
    member.pulse = pulse;
    member.weight = weight;
    return true;
}
