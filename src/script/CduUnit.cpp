#include "script/CduUnit.h"

namespace halvex {

using CG_SCRIPT_CLS::C_ScriptError;

CduUnit::CduUnit(void* core, std::unique_ptr<ScriptHost> engine, const std::string& scriptPath, NativeTable natives,
                 int bitmapWidth, int bitmapHeight)
    : core_(core), surface_(std::make_unique<DrawSurface>(bitmapWidth, bitmapHeight)), engine_(std::move(engine)) {
    try {
        if (engine_->LoadScript(scriptPath.c_str()) != 0) return;
    } catch (const C_ScriptError&) {
        return;  // an engine that raises on a failed load is as unloaded as one that returns -1
    }
    loaded_ = true;
    for (const NativeEntry& native : natives) engine_->RegisterNative(native.function, native.name);
    readEntryPoint();
    engine_->SetValue(MakePath("g_ScriptPath"), ScriptValue::String(kModuleDirectory));
    readPalette();
}

CduUnit::~CduUnit() = default;

void CduUnit::Start() {
    if (loaded_) callEntry();
}

void CduUnit::readEntryPoint() {
    ScriptValue v;
    if (engine_->GetValue(v, MakePath("g_EntryPoint")) == 0 && v.kind() == ScriptKind::String)
        entryPoint_ = v.text();
    else
        entryPoint_.clear();  // no later call can find an empty name
}

void CduUnit::readPalette() {
    static const char* const kComponents[] = {"r", "g", "b"};
    int32_t last = 0;  // a component that cannot be read keeps the one read before it
    for (int n = 0; n < 8; ++n) {
        uint32_t rgb[3];
        for (int c = 0; c < 3; ++c) {
            ScriptPath path = MakePath("color");
            path.append(ScriptValue::String("c" + std::to_string(n)));
            path.append(ScriptValue::String(kComponents[c]));
            ScriptValue v = ScriptValue::Integer(last);
            engine_->GetValue(v, path);
            last = v.asInteger();
            rgb[c] = static_cast<uint32_t>(last) & 0xFF;
        }
        surface_->Palette()[static_cast<size_t>(n)] = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
    }
}

bool CduUnit::callEntry() {
    ScriptValue out;
    std::string error;
    try {
        if (engine_->CallFunction(out, MakePath(entryPoint_), ScriptValue::Pointer(core_), true) == 0) return true;
        error = engine_->LastError();
    } catch (const C_ScriptError& e) {
        error = e.what();  // e.g. a missing entry function: reported like any call error
    }
    surface_->Grid().WriteMessage(error);
    return false;
}

void CduUnit::ScriptCycle() {
    CduTextGrid& grid = surface_->Grid();
    grid.Clear();
    if (!loaded_) {
        grid.WriteMessage(engine_->LastError());
        return;
    }
    if (callEntry()) readEntryPoint();
}

}  // namespace halvex
