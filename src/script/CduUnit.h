// CduUnit: the CDU: its text grid and palette (on the drawing surface), key buffer and the script
// engine that runs the page script.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "display/DrawSurface.h"
#include "script/KeyBuffer.h"
#include "script/NativeEntry.h"
#include "script/ScriptHost.h"

namespace halvex {

class CduUnit {
public:
    static constexpr const char* kModuleDirectory = "Gauges/HalvexFmsZolan/";
    static constexpr const char* kScriptFile = "Gauges/HalvexFmsZolan/VUV6000.sq";

    // Loads the script, registers the natives, reads the entry point and the palette and sets
    // "g_ScriptPath". The first entry call is Start(), made once the core's members exist.
    CduUnit(void* core, std::unique_ptr<ScriptHost> engine, const std::string& scriptPath, NativeTable natives,
            int bitmapWidth = 360, int bitmapHeight = 255);
    virtual ~CduUnit();

    void Start();  // the script's first call of its entry function

    DrawSurface& Surface() { return *surface_; }
    CduTextGrid& Grid() { return surface_->Grid(); }
    virtual void ScriptCycle();
    void PushKey(int32_t code) { keys_.Push(code); }
    int8_t PopKey() { return keys_.Pop(); }
    int8_t PeekKey() const { return keys_.Peek(); }
    void ClearKeys() { keys_.Clear(); }
    int32_t KeyCount() const { return keys_.Size(); }
    ScriptHost& Engine() { return *engine_; }

    bool Loaded() const { return loaded_; }
    const std::string& EntryPoint() const { return entryPoint_; }

private:
    void readPalette();
    void readEntryPoint();
    bool callEntry();  // false on a script error (its text is then in the grid)

    void* core_;
    std::unique_ptr<DrawSurface> surface_;
    std::string entryPoint_;
    KeyBuffer keys_;
    std::unique_ptr<ScriptHost> engine_;
    bool loaded_ = false;
};

}  // namespace halvex
