#include "core/Configuration.h"

#include <filesystem>
#include <optional>
#include <string>

#include "script/ScriptHost.h"

namespace halvex {

namespace {

// A boolean counts as 0 or 1, a number is truncated towards zero; anything else is absent.
std::optional<int32_t> readSetting(ScriptHost& engine, const char* key) {
    ScriptValue v;
    if (engine.GetValue(v, MakePath(key)) != 0) return std::nullopt;
    if (v.kind() != ScriptKind::Bool && v.kind() != ScriptKind::Real && v.kind() != ScriptKind::Integer)
        return std::nullopt;
    return v.asInteger();
}

bool switchedOn(ScriptHost& engine, const char* key) { return readSetting(engine, key) == 1; }

}  // namespace

int Configuration::load(ScriptHost& engine, const std::filesystem::path& root) {
    const std::string file = (root / kFile).string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return -1;
    try {
        engine.LoadScript(file.c_str());
    } catch (const std::exception&) {
        return -1;
    }
    const std::optional<int32_t> type = readSetting(engine, "FSIF_TYPE");
    if (type == 0 || type == 1) interfaceType = *type;
    fastBlt = switchedOn(engine, "FAST_BLT");
    smoothHigh = switchedOn(engine, "DRAW_SMOOTH_HIGH");
    interpolateHigh = switchedOn(engine, "DRAW_INTERPOLATE_HIGH");
    return 0;
}

}  // namespace halvex
