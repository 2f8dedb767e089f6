// The user-interface library the real host exports beside its SDK (Dear ImGui, with the host's additions),
// under the host's own symbols. Modules draw their dialogs with it, and only while the host shows a dialog:
// hostsim shows none, so every function is a stand-in. Called, one answers with zero in both the integer and
// the floating point return registers (false, null, 0, 0.0, a zero vector), changes nothing and is named once
// on the timeline, as the SDK's unmodelled functions are.
#include "exports.h"
#include "host.h"

#include <algorithm>

// Zero in rax and in xmm0: whatever the function's return type, the caller reads a zero (a struct of two
// floats comes back in xmm0 alone).
struct HostsimUiZero {
    long integer;
    double real;
};

namespace hs {
void UnmodelledUi(int n);
}

// NOLINTBEGIN(bugprone-macro-parentheses): the arguments are names and string literals pasted into declarations
#define UI_FUNCTION(n, mangled, readable)                                                                      \
    __attribute__((visibility("default"))) HostsimUiZero hostsim_ui_##n() __asm__(mangled);                  \
    HostsimUiZero hostsim_ui_##n() {                                                                           \
        hs::UnmodelledUi(n);                                                                                   \
        return {};                                                                                             \
    }
#include "ui_exports.inc"
#undef UI_FUNCTION
// NOLINTEND(bugprone-macro-parentheses)

namespace {

#define UI_FUNCTION(n, mangled, readable) {mangled, readable},
const hs::HostExport UI_EXPORTS[] = {
#include "ui_exports.inc"
};
#undef UI_FUNCTION

} // namespace

namespace hs {

size_t UiExportCount() { return sizeof UI_EXPORTS / sizeof UI_EXPORTS[0]; }

long UiExportIndex(const std::string& mangled) {
    for (size_t i = 0; i < UiExportCount(); ++i)
        if (mangled == UI_EXPORTS[i].mangled) return (long)i;
    return -1;
}

const HostExport& UiExportAt(size_t i) { return UI_EXPORTS[i]; }

// Counted with the SDK's unmodelled functions, after them.
void UnmodelledUi(int n) {
    World& w = W();
    const int id = (int)HostExportCount() + n;
    auto at = std::lower_bound(w.unmodelledCalled.begin(), w.unmodelledCalled.end(), id);
    if (at != w.unmodelledCalled.end() && *at == id) return;
    w.unmodelledCalled.insert(at, id);
    Say("not modelled: %s", UI_EXPORTS[n].name);
    if (w.opt.modelledOnly) w.stopRun = true;
}

} // namespace hs
