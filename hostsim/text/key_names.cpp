// Key names as the host's key codes spell them without their prefix, and their codes.
#include "text.h"

#include "Orbitersdk.h"

#include <cstring>

namespace hs {

namespace {

struct NamedKey {
    const char* name;
    DWORD code;
};

constexpr NamedKey KEY_NAMES[] = {
    {"ESCAPE", OAPI_KEY_ESCAPE},
    {"1", OAPI_KEY_1},
    {"2", OAPI_KEY_2},
    {"3", OAPI_KEY_3},
    {"4", OAPI_KEY_4},
    {"5", OAPI_KEY_5},
    {"6", OAPI_KEY_6},
    {"7", OAPI_KEY_7},
    {"8", OAPI_KEY_8},
    {"9", OAPI_KEY_9},
    {"0", OAPI_KEY_0},
    {"MINUS", OAPI_KEY_MINUS},
    {"EQUALS", OAPI_KEY_EQUALS},
    {"BACK", OAPI_KEY_BACK},
    {"TAB", OAPI_KEY_TAB},
    {"Q", OAPI_KEY_Q},
    {"W", OAPI_KEY_W},
    {"E", OAPI_KEY_E},
    {"R", OAPI_KEY_R},
    {"T", OAPI_KEY_T},
    {"Y", OAPI_KEY_Y},
    {"U", OAPI_KEY_U},
    {"I", OAPI_KEY_I},
    {"O", OAPI_KEY_O},
    {"P", OAPI_KEY_P},
    {"LBRACKET", OAPI_KEY_LBRACKET},
    {"RBRACKET", OAPI_KEY_RBRACKET},
    {"RETURN", OAPI_KEY_RETURN},
    {"LCONTROL", OAPI_KEY_LCONTROL},
    {"A", OAPI_KEY_A},
    {"S", OAPI_KEY_S},
    {"D", OAPI_KEY_D},
    {"F", OAPI_KEY_F},
    {"G", OAPI_KEY_G},
    {"H", OAPI_KEY_H},
    {"J", OAPI_KEY_J},
    {"K", OAPI_KEY_K},
    {"L", OAPI_KEY_L},
    {"SEMICOLON", OAPI_KEY_SEMICOLON},
    {"APOSTROPHE", OAPI_KEY_APOSTROPHE},
    {"GRAVE", OAPI_KEY_GRAVE},
    {"LSHIFT", OAPI_KEY_LSHIFT},
    {"BACKSLASH", OAPI_KEY_BACKSLASH},
    {"Z", OAPI_KEY_Z},
    {"X", OAPI_KEY_X},
    {"C", OAPI_KEY_C},
    {"V", OAPI_KEY_V},
    {"B", OAPI_KEY_B},
    {"N", OAPI_KEY_N},
    {"M", OAPI_KEY_M},
    {"COMMA", OAPI_KEY_COMMA},
    {"PERIOD", OAPI_KEY_PERIOD},
    {"SLASH", OAPI_KEY_SLASH},
    {"RSHIFT", OAPI_KEY_RSHIFT},
    {"MULTIPLY", OAPI_KEY_MULTIPLY},
    {"LALT", OAPI_KEY_LALT},
    {"SPACE", OAPI_KEY_SPACE},
    {"CAPITAL", OAPI_KEY_CAPITAL},
    {"F1", OAPI_KEY_F1},
    {"F2", OAPI_KEY_F2},
    {"F3", OAPI_KEY_F3},
    {"F4", OAPI_KEY_F4},
    {"F5", OAPI_KEY_F5},
    {"F6", OAPI_KEY_F6},
    {"F7", OAPI_KEY_F7},
    {"F8", OAPI_KEY_F8},
    {"F9", OAPI_KEY_F9},
    {"F10", OAPI_KEY_F10},
    {"NUMLOCK", OAPI_KEY_NUMLOCK},
    {"SCROLL", OAPI_KEY_SCROLL},
    {"NUMPAD7", OAPI_KEY_NUMPAD7},
    {"NUMPAD8", OAPI_KEY_NUMPAD8},
    {"NUMPAD9", OAPI_KEY_NUMPAD9},
    {"SUBTRACT", OAPI_KEY_SUBTRACT},
    {"NUMPAD4", OAPI_KEY_NUMPAD4},
    {"NUMPAD5", OAPI_KEY_NUMPAD5},
    {"NUMPAD6", OAPI_KEY_NUMPAD6},
    {"ADD", OAPI_KEY_ADD},
    {"NUMPAD1", OAPI_KEY_NUMPAD1},
    {"NUMPAD2", OAPI_KEY_NUMPAD2},
    {"NUMPAD3", OAPI_KEY_NUMPAD3},
    {"NUMPAD0", OAPI_KEY_NUMPAD0},
    {"DECIMAL", OAPI_KEY_DECIMAL},
    {"OEM_102", OAPI_KEY_OEM_102},
    {"F11", OAPI_KEY_F11},
    {"F12", OAPI_KEY_F12},
    {"NUMPADENTER", OAPI_KEY_NUMPADENTER},
    {"RCONTROL", OAPI_KEY_RCONTROL},
    {"DIVIDE", OAPI_KEY_DIVIDE},
    {"SYSRQ", OAPI_KEY_SYSRQ},
    {"RALT", OAPI_KEY_RALT},
    {"PAUSE", OAPI_KEY_PAUSE},
    {"HOME", OAPI_KEY_HOME},
    {"UP", OAPI_KEY_UP},
    {"PRIOR", OAPI_KEY_PRIOR},
    {"LEFT", OAPI_KEY_LEFT},
    {"RIGHT", OAPI_KEY_RIGHT},
    {"END", OAPI_KEY_END},
    {"DOWN", OAPI_KEY_DOWN},
    {"NEXT", OAPI_KEY_NEXT},
    {"INSERT", OAPI_KEY_INSERT},
    {"DELETE", OAPI_KEY_DELETE},
// Keys of the Windows keyboard layer that the Linux host's headers leave out.
#ifdef OAPI_KEY_F13
    {"F13", OAPI_KEY_F13},
    {"F14", OAPI_KEY_F14},
    {"F15", OAPI_KEY_F15},
    {"KANA", OAPI_KEY_KANA},
    {"ABNT_C1", OAPI_KEY_ABNT_C1},
    {"CONVERT", OAPI_KEY_CONVERT},
    {"NOCONVERT", OAPI_KEY_NOCONVERT},
    {"YEN", OAPI_KEY_YEN},
    {"ABNT_C2", OAPI_KEY_ABNT_C2},
    {"NUMPADEQUALS", OAPI_KEY_NUMPADEQUALS},
    {"PREVTRACK", OAPI_KEY_PREVTRACK},
    {"AT", OAPI_KEY_AT},
    {"COLON", OAPI_KEY_COLON},
    {"UNDERLINE", OAPI_KEY_UNDERLINE},
    {"KANJI", OAPI_KEY_KANJI},
    {"STOP", OAPI_KEY_STOP},
    {"AX", OAPI_KEY_AX},
    {"UNLABELED", OAPI_KEY_UNLABELED},
    {"NEXTTRACK", OAPI_KEY_NEXTTRACK},
    {"MUTE", OAPI_KEY_MUTE},
    {"CALCULATOR", OAPI_KEY_CALCULATOR},
    {"PLAYPAUSE", OAPI_KEY_PLAYPAUSE},
    {"MEDIASTOP", OAPI_KEY_MEDIASTOP},
    {"VOLUMEDOWN", OAPI_KEY_VOLUMEDOWN},
    {"VOLUMEUP", OAPI_KEY_VOLUMEUP},
    {"WEBHOME", OAPI_KEY_WEBHOME},
    {"NUMPADCOMMA", OAPI_KEY_NUMPADCOMMA},
    {"LWIN", OAPI_KEY_LWIN},
    {"RWIN", OAPI_KEY_RWIN},
    {"APPS", OAPI_KEY_APPS},
    {"POWER", OAPI_KEY_POWER},
    {"SLEEP", OAPI_KEY_SLEEP},
    {"WAKE", OAPI_KEY_WAKE},
    {"WEBSEARCH", OAPI_KEY_WEBSEARCH},
    {"WEBFAVORITES", OAPI_KEY_WEBFAVORITES},
    {"WEBREFRESH", OAPI_KEY_WEBREFRESH},
    {"WEBSTOP", OAPI_KEY_WEBSTOP},
    {"WEBFORWARD", OAPI_KEY_WEBFORWARD},
    {"WEBBACK", OAPI_KEY_WEBBACK},
    {"MYCOMPUTER", OAPI_KEY_MYCOMPUTER},
    {"MAIL", OAPI_KEY_MAIL},
    {"MEDIASELECT", OAPI_KEY_MEDIASELECT},
#endif
};

} // namespace

bool KeyFromName(const std::string& name, DWORD* code) {
    for (const NamedKey& k : KEY_NAMES)
        if (IEquals(k.name, name.c_str())) {
            *code = k.code;
            return true;
        }
    return false;
}

const char* KeyName(DWORD code) {
    for (const NamedKey& k : KEY_NAMES)
        if (k.code == code) return k.name;
    return "?";
}

} // namespace hs
