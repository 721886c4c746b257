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

// Whether `object` is still one of the live configuration's, by `at(index)` over `count`.
template <class T, class At>
bool IsListed(T* object, int32_t count, At&& at) {
    for (int32_t i = 0; i < count; ++i)
        if (at(uint32_t(i)) == object) return true;
    return false;
}

// The ids the engine gave the copies of macros and programs go into the live objects they were
// copied from (an object the user deleted meanwhile is skipped, an id it has meanwhile is kept).
template <class LiveConfig, class CopyConfig, class Macro, class App>
void MergeDeviceWideIds(LiveConfig* live, CopyConfig* c, const std::vector<Macro*>& liveMacros,
                        const std::vector<App*>& liveApps) {
    auto merge = [](const auto& targets, int32_t liveCount, auto liveAt, auto writtenAt) {
        for (size_t i = 0; i < targets.size(); ++i) {
            auto* target = targets[i];
            auto* written = writtenAt(uint32_t(i));
            if (!written || !IsListed(target, liveCount, liveAt)) continue;
            if (IsNullGuid(target->id) && !IsNullGuid(written->id)) target->id = written->id;
        }
    };
    merge(liveMacros, live->GetMacroCount(), [&](uint32_t k) { return live->GetMacroAt(k); },
          [&](uint32_t k) { return c->GetMacroAt(k); });
    merge(liveApps, live->GetAppCount(), [&](uint32_t k) { return live->GetAppAt(k); },
          [&](uint32_t k) { return c->GetAppAt(k); });
}

// A profile's new engine id goes into the live profile it was copied from; false when the live
// profile is gone (or nothing was written for it).
template <class LiveConfig, class Profile>
bool MergeProfileId(LiveConfig* live, Profile* target, Profile* written) {
    if (!written || !IsListed(target, live->GetProfileCount(), [&](uint32_t k) { return live->GetProfileAt(k); }))
        return false;
    GUID liveId{}, newId{};
    target->GetId(&liveId);
    written->GetId(&newId);
    if (IsNullGuid(liveId) && !IsNullGuid(newId)) target->SetId(newId);
    return true;
}

} // namespace vt::device
