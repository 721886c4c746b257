#pragma once
// The device-wide lists of a configuration copied into the write job's own configuration: macros,
// linked programs, lighting entries and the configuration's key assignments. The live macros and
// programs are remembered in order so ids the engine gives the copies can be merged back.
#include <cstdint>
#include <vector>
#include "profile/Records.h"

namespace vt::device {

template <class LiveConfig, class CopyConfig, class Macro, class App>
void CopyDeviceWideLists(LiveConfig* live, CopyConfig* c, std::vector<Macro*>& liveMacros, std::vector<App*>& liveApps) {
    for (int32_t i = 0; i < live->GetMacroCount(); ++i) {
        Macro* m = live->GetMacroAt(uint32_t(i));
        if (!m) continue;
        Macro* q = c->AddMacro(m->name);
        if (!q) continue;
        q->id = m->id;
        q->events = m->events;
        q->text = m->text;
        liveMacros.push_back(m);
    }
    for (int32_t i = 0; i < live->GetAppCount(); ++i) {
        App* a = live->GetAppAt(uint32_t(i));
        if (!a) continue;
        App* q = c->AddApp(a->path.c_str());
        if (!q) continue;
        q->id = a->id;
        liveApps.push_back(a);
    }
    for (int32_t i = 0; i < live->GetApmStageCount(); ++i) {
        int32_t colour = 0, low = 0;
        uint32_t high = 0;
        if (live->GetApmStageColor(uint32_t(i), &colour) && live->GetApmStageRange(uint32_t(i), &low, &high))
            c->AddApmStage(colour, low, high);
    }
    for (int32_t i = 0; i < live->GetConfigAssignmentCount(); ++i) {
        const int32_t key = live->GetConfigAssignmentKeyAt(uint32_t(i));
        AssignmentRecord r{};
        live->GetConfigAssignment(&r, key);
        c->SetConfigAssignment(key, r);
    }
}

} // namespace vt::device
